#include "platform/ini_file.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace platform::ini {
namespace {

// The file as lines without their line ends; missing file = no lines.
struct IniText {
    std::vector<std::string> lines;
    bool existed = false;
    bool byteOrderMark = false;  // a UTF-8 file that says so; kept on writing
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

IniText load(const std::string& path) {
    IniText text;
    std::ifstream in(path, std::ios::binary);
    if (!in) return text;
    text.existed = true;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string all = buffer.str();
    text.byteOrderMark = all.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0;
    std::size_t start = text.byteOrderMark ? kUtf8Bom.size() : 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text.lines.push_back(std::move(line));
        start = end + 1;
    }
    return text;
}

// Writes a temporary file beside the target and renames it over the target,
// so that a failed write never leaves a half-written file behind.
void save(const std::string& path, const IniText& text) {
    std::string content(text.byteOrderMark ? kUtf8Bom : std::string_view());
    for (const auto& line : text.lines) {
        content += line;
        content += "\r\n";
    }
    FileSystem& fs = FileSystem::current();
    const std::string temporary = path + ".tmp~";
    try {
        auto file = fs.createFile(temporary);
        file->append(content);
        file->sync();
        file->close();
        fs.renameFile(temporary, path);
    } catch (const FileError&) {
        try {
            fs.removeFile(temporary);
        } catch (const FileError&) {
        }
        throw IniWriteError("Unable to write to " + path);
    }
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Compares names without regard to the letter case of A-Z, stepping over
// GBK characters whole so that a trail byte is never folded.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const char* end = a.data() + a.size();
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = gbkCharLength(a.data() + i, end);
        if (n == 1) {
            auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
            if (fold(a[i]) != fold(b[i])) return false;
        } else if (a.substr(i, n) != b.substr(i, n)) {
            return false;
        }
        i += n;
    }
    return true;
}

std::optional<std::string_view> sectionName(std::string_view line) {
    // Only a line that is "[" name "]" as a whole is a section header, so that
    // a key beginning with "[" ("[abc]=x") stays a key.
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return trim(line.substr(1, line.size() - 2));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
    // A comment line (";...") holds no "=" as a rule; one that does reads as a
    // key, which keeps a key beginning with ";" readable.
    if (sectionName(line)) return std::nullopt;
    const auto eq = line.find('=');  // "=" is below 0x40: never a trail byte
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyLine{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

// Lines [first, last) of a section's body; first is the header line, or
// npos when the section is missing.
struct SectionSpan {
    std::size_t header = std::string::npos;
    std::size_t end = 0;
};

SectionSpan findSection(const IniText& text, const std::string& section) {
    SectionSpan span;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const auto name = sectionName(text.lines[i]);
        if (!name) continue;
        if (span.header != std::string::npos) {
            span.end = i;
            return span;
        }
        if (sameName(*name, section)) span.header = i;
    }
    span.end = text.lines.size();
    return span;
}

}  // namespace

void writeString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value) {
    IniText text = load(path);
    const std::string entry = key + "=" + value;
    const SectionSpan span = findSection(text, section);
    if (span.header == std::string::npos) {
        text.lines.push_back("[" + section + "]");
        text.lines.push_back(entry);
    } else {
        std::size_t insertAt = span.header + 1;
        bool replaced = false;
        for (std::size_t i = span.header + 1; i < span.end; ++i) {
            const auto kv = keyLine(text.lines[i]);
            if (!kv) continue;
            if (sameName(kv->key, key)) {
                text.lines[i] = entry;
                replaced = true;
                break;
            }
            insertAt = i + 1;
        }
        if (!replaced) text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    }
    save(path, text);
}

std::vector<std::pair<std::string, std::string>> readSection(const std::string& path, const std::string& section) {
    std::vector<std::pair<std::string, std::string>> entries;
    const IniText text = load(path);
    const SectionSpan span = findSection(text, section);
    if (span.header == std::string::npos) return entries;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (const auto kv = keyLine(text.lines[i])) entries.emplace_back(kv->key, kv->value);
    }
    return entries;
}

std::string readString(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    for (const auto& [k, v] : readSection(path, section)) {
        if (sameName(k, key)) return v;
    }
    return defaultValue;
}

std::vector<std::string> readKeys(const std::string& path, const std::string& section) {
    std::vector<std::string> keys;
    for (auto& entry : readSection(path, section)) keys.push_back(std::move(entry.first));
    return keys;
}

bool sectionExists(const std::string& path, const std::string& section) {
    return findSection(load(path), section).header != std::string::npos;
}

void eraseSection(const std::string& path, const std::string& section) {
    IniText text = load(path);
    const SectionSpan span = findSection(text, section);
    if (span.header == std::string::npos) return;
    text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(span.header),
                     text.lines.begin() + static_cast<std::ptrdiff_t>(span.end));
    save(path, text);
}

bool isUtf8File(const std::string& path) {
    const IniText text = load(path);
    if (text.byteOrderMark) return true;
    bool multiByte = false;
    for (const auto& line : text.lines) {
        if (!isValidUtf8(line)) return false;
        for (char c : line) multiByte = multiByte || static_cast<unsigned char>(c) >= 0x80;
    }
    return multiByte;
}

void convertToUtf8(const std::string& path) {
    IniText text = load(path);
    for (auto& line : text.lines) line = gbkToUtf8(line);
    text.byteOrderMark = true;
    save(path, text);
}

}  // namespace platform::ini
