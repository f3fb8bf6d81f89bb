#include "engine/text_convert.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/char_stepper.h"
#include "engine/utf8.h"

namespace engine {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The GBK code page as the system's converter defines it, read once.
struct GbkTables {
    static constexpr unsigned kTrails = 0xFF - 0x40;  // trail bytes 0x40..0xFE
    // Code point of each double-byte code (lead 0x81..0xFE); 0 where the
    // converter knows no character.
    std::uint16_t toUnicode[0x7E * kTrails] = {};
    // Code points of single bytes above 0x7F that are characters on their own (0x80).
    char32_t singleByte[0x80] = {};
    // GBK code of each code point of the basic plane: a byte (< 0x100) or a
    // lead and trail byte; 0 where GBK holds no such character.
    std::uint16_t fromUnicode[0x10000] = {};

    GbkTables() {
        iconv_t toUtf8 = iconv_open("UTF-8", "GBK");
        iconv_t toGbk = iconv_open("GBK", "UTF-8");
        if (toUtf8 == reinterpret_cast<iconv_t>(-1) || toGbk == reinterpret_cast<iconv_t>(-1))
            throw Error("The system cannot convert between GBK and UTF-8 (iconv has no GBK)");
        // One character through the converter: the bytes it gives, or "" when it refuses.
        auto run = [](iconv_t cd, const char* in, std::size_t n) {
            char src[4], dst[8];
            std::memcpy(src, in, n);
            char* ip = src;
            char* op = dst;
            std::size_t il = n, ol = sizeof dst;
            const std::size_t rc = iconv(cd, &ip, &il, &op, &ol);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (rc == static_cast<std::size_t>(-1) || il != 0) return std::string();
            return std::string(dst, static_cast<std::size_t>(op - dst));
        };
        auto codeOf = [](const std::string& utf8) -> char32_t {
            if (utf8.empty()) return 0;
            const CharStepper chars(CodePage::Utf8);
            const std::size_t len = chars.length(utf8.data(), utf8.data() + utf8.size());
            if (len != utf8.size()) return 0;
            return len == 1 ? static_cast<unsigned char>(utf8[0]) : decodeUtf8(utf8.data(), len);
        };
        for (unsigned b = 0x80; b <= 0xFF; ++b) {
            const char c = static_cast<char>(b);
            singleByte[b - 0x80] = codeOf(run(toUtf8, &c, 1));
        }
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char32_t c = codeOf(run(toUtf8, pair, 2));
                if (c < 0x10000) toUnicode[(lead - 0x81) * kTrails + (trail - 0x40)] = static_cast<std::uint16_t>(c);
            }
        for (char32_t c = 0x80; c < 0x10000; ++c) {
            if (c >= 0xD800 && c < 0xE000) continue;
            char utf8[4];
            const std::string gbk = run(toGbk, utf8, putUtf8(utf8, c));
            if (gbk.size() == 1) fromUnicode[c] = static_cast<unsigned char>(gbk[0]);
            else if (gbk.size() == 2)
                fromUnicode[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(gbk[0]) << 8 |
                                                            static_cast<unsigned char>(gbk[1]));
        }
        iconv_close(toUtf8);
        iconv_close(toGbk);
    }
};

const GbkTables& gbkTables() {
    static const std::unique_ptr<GbkTables> tables = std::make_unique<GbkTables>();
    return *tables;
}

// Appends the run of bytes below 0x80 at p and returns where it ends.
const char* copyAscii(std::string& out, const char* p, const char* end) {
    const char* q = p;
    while (q < end && static_cast<unsigned char>(*q) < 0x80) ++q;
    out.append(p, q);
    return q;
}

bool gbkToUtf8(std::string& out, std::string_view text) {
    const GbkTables& t = gbkTables();
    const char* p = text.data();
    const char* end = p + text.size();
    bool exact = true;
    while (p < end) {
        p = copyAscii(out, p, end);
        if (p == end) break;
        const auto lead = static_cast<unsigned char>(*p);
        if (platform::gbkCharLength(p, end) == 2) {
            const auto trail = static_cast<unsigned char>(p[1]);
            const char32_t c = t.toUnicode[(lead - 0x81) * GbkTables::kTrails + (trail - 0x40)];
            if (c != 0) {
                appendUtf8(out, c);
                p += 2;
                continue;
            }
        }
        // A byte that starts no character: one replacement, and the next
        // byte is read afresh (as the system's converter does).
        const char32_t c = t.singleByte[lead - 0x80];
        if (c == 0) exact = false;
        appendUtf8(out, c != 0 ? c : kReplacement);
        ++p;
    }
    return exact;
}

bool utf8ToGbk(std::string& out, std::string_view text) {
    const GbkTables& t = gbkTables();
    const CharStepper chars(CodePage::Utf8);
    const char* p = text.data();
    const char* end = p + text.size();
    bool exact = true;
    while (p < end) {
        p = copyAscii(out, p, end);
        if (p == end) break;
        const std::size_t len = chars.length(p, end);
        const char32_t c = len == 1 ? 0x110000 : decodeUtf8(p, len);
        const std::uint16_t code = c < 0x10000 ? t.fromUnicode[c] : 0;
        if (code == 0) {
            out.push_back('?');
            exact = false;
        } else if (code < 0x100) {
            out.push_back(static_cast<char>(code));
        } else {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        }
        p += len;
    }
    return exact;
}

}  // namespace

bool appendConverted(std::string& out, std::string_view text, CodePage from, CodePage to) {
    if (from == to) {
        out.append(text);
        return true;
    }
    return from == CodePage::Gbk ? gbkToUtf8(out, text) : utf8ToGbk(out, text);
}

std::string converted(std::string_view text, CodePage from, CodePage to) {
    std::string out;
    appendConverted(out, text, from, to);
    return out;
}

const char* codePageName(CodePage codePage) { return codePage == CodePage::Gbk ? "GBK" : "UTF-8"; }

}  // namespace engine
