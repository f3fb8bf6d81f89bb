#include "source/source_encoding.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "platform/code_page.h"

namespace source {

namespace {

constexpr std::size_t kSample = 1 << 20;

// Up to kSample bytes, then on to the next line feed (at most another kSample).
std::string firstBytes(const std::string& path) {
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    char buffer[65536];
    const auto readUpTo = [&](std::size_t limit, std::size_t searchFrom) {
        while (bytes.size() < limit) {
            const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
            if (n <= 0) return;
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (searchFrom != std::string::npos && bytes.find('\n', searchFrom) != std::string::npos) return;
        }
    };
    readUpTo(kSample, std::string::npos);
    if (bytes.size() == kSample) {
        readUpTo(2 * kSample, kSample - 1);
        const auto lf = bytes.find('\n', kSample - 1);
        if (lf != std::string::npos) bytes.resize(lf + 1);
    }
    ::close(fd);
    return bytes;
}

bool startsWith(const std::string& bytes, const char* prefix, std::size_t n) {
    return bytes.size() >= n && bytes.compare(0, n, prefix, n) == 0;
}

// A sample cut inside a character: the cut character's bytes do not count.
std::string_view withoutCutCharacter(std::string_view sample) {
    for (std::size_t back = 1; back <= 3 && back <= sample.size(); ++back) {
        const auto b = static_cast<unsigned char>(sample[sample.size() - back]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        if (b >= 0xC0) {
            const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
            if (need > back) return sample.substr(0, sample.size() - back);
        }
        break;
    }
    return sample;
}

}  // namespace

TextEncoding detectEncoding(const std::string& path) {
    const std::string bytes = firstBytes(path);
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) return TextEncoding::Utf8Bom;
    if (startsWith(bytes, "\xFF\xFE", 2)) return TextEncoding::Utf16Le;
    if (startsWith(bytes, "\xFE\xFF", 2)) return TextEncoding::Utf16Be;
    const std::string_view sample = withoutCutCharacter(bytes);
    bool multiByte = false;
    for (char c : sample) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            multiByte = true;
            break;
        }
    }
    return multiByte && platform::isValidUtf8(sample) ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

TextEncoding resolveEncoding(const std::string& path, EncodingChoice choice) {
    if (choice == EncodingChoice::Gbk) return TextEncoding::Gbk;
    const TextEncoding detected = detectEncoding(path);
    switch (choice) {
        case EncodingChoice::Auto:
            return detected;
        case EncodingChoice::Utf8:
            return detected == TextEncoding::Utf8Bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
        case EncodingChoice::Utf16:
            return detected == TextEncoding::Utf16Be ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
        case EncodingChoice::Gbk:
            break;
    }
    return TextEncoding::Gbk;
}

bool startsWithByteOrderMark(const std::string& path) {
    char head[3] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    const std::string bytes(head, n > 0 ? static_cast<std::size_t>(n) : 0);
    return startsWith(bytes, "\xEF\xBB\xBF", 3) || startsWith(bytes, "\xFF\xFE", 2) ||
           startsWith(bytes, "\xFE\xFF", 2);
}

std::string characterSetValue(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom:
            return "65001";
        case TextEncoding::Utf16Le:
            return "1200";
        case TextEncoding::Utf16Be:
            return "1201";
        case TextEncoding::Gbk:
            break;
    }
    return "";
}

std::string encodingNote(TextEncoding encoding, bool detected) {
    const char* name = "ANSI (GBK)";
    switch (encoding) {
        case TextEncoding::Utf8: name = "UTF-8"; break;
        case TextEncoding::Utf8Bom: name = "UTF-8 (BOM)"; break;
        case TextEncoding::Utf16Le: name = "UTF-16 LE"; break;
        case TextEncoding::Utf16Be: name = "UTF-16 BE"; break;
        case TextEncoding::Gbk: break;
    }
    return std::string(detected ? "检测为 " : "指定为 ") + name;
}

bool resultsAreUtf8(TextEncoding encoding) { return encoding != TextEncoding::Gbk; }

bool resultsHaveByteOrderMark(TextEncoding encoding) {
    return encoding != TextEncoding::Gbk && encoding != TextEncoding::Utf8;
}

}  // namespace source
