#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/ini_line.h"

namespace platform::ini {
namespace {

// The file as lines without their line ends; missing file = no lines.
struct IniText {
    std::vector<std::string> lines;
    bool existed = false;
    bool byteOrderMark = false;  // a UTF-8 file that says so; kept on writing
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

IniText parse(std::string_view all) {
    IniText text;
    text.byteOrderMark = all.substr(0, kUtf8Bom.size()) == kUtf8Bom;
    std::size_t start = text.byteOrderMark ? kUtf8Bom.size() : 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        std::string line(all.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text.lines.push_back(std::move(line));
        start = end + 1;
    }
    return text;
}

// A missing file reads as empty; a file that is there but cannot be read
// (a folder of that name, no permission) fails with a message naming it, so
// that a write never replaces a file whose content was not seen.
IniText load(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {};  // nothing there
        throw fileFailure("Cannot read file", path, errno);
    }
    std::string all;
    struct stat status {};
    int error = 0;
    if (::fstat(fd, &status) != 0) error = errno;
    else if (S_ISDIR(status.st_mode)) error = EISDIR;
    char buffer[64 * 1024];
    while (error == 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        all.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (error != 0) throw fileFailure("Cannot read file", path, error);
    IniText text = parse(all);
    text.existed = true;
    return text;
}

// The file a link leads to (the link itself stays), else path itself.
std::string linkTarget(const std::string& path) {
    struct stat link {};
    char resolved[PATH_MAX];
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode) || !::realpath(path.c_str(), resolved)) return path;
    return resolved;
}

// Writes a temporary file beside the target and renames it over the target,
// so that a failed write never leaves a half-written file behind.  A file
// that was there keeps its permissions, and its owner where the process may
// give it; a file reached through a link is rewritten where it lies.
void save(const std::string& path, const IniText& text) {
    std::string content(text.byteOrderMark ? kUtf8Bom : std::string_view());
    for (const auto& line : text.lines) {
        content += line;
        content += "\r\n";
    }
    FileSystem& fs = FileSystem::current();
    const std::string target = linkTarget(path);
    const std::string temporary = target + ".tmp~";
    try {
        auto file = fs.createFile(temporary);
        if (text.existed) file->keepAttributesOf(target);
        file->append(content);
        file->sync();
        file->close();
        fs.renameFile(temporary, target);
    } catch (const FileError&) {
        try {
            fs.removeFile(temporary);
        } catch (const FileError&) {
        }
        throw IniWriteError("Unable to write to " + path);
    }
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

// Lines [first, last) of a section's body; first is the header line, or
// npos when the section is missing.
struct SectionSpan {
    std::size_t header = std::string::npos;
    std::size_t end = 0;
};

SectionSpan findSection(const IniText& text, const std::string& section) {
    SectionSpan span;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const auto name = parseSectionLine(text.lines[i]);
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

std::vector<std::pair<std::string, std::string>> entriesOf(const IniText& text, const std::string& section) {
    std::vector<std::pair<std::string, std::string>> entries;
    const SectionSpan span = findSection(text, section);
    if (span.header == std::string::npos) return entries;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (auto kv = parseKeyLine(text.lines[i])) entries.emplace_back(std::move(kv->key), std::move(kv->value));
    }
    return entries;
}

}  // namespace

void writeString(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value, const std::string& newSectionComment) {
    IniText text = load(path);
    const std::string entry = keyLine(key, value);
    const SectionSpan span = findSection(text, section);
    if (span.header == std::string::npos) {
        text.lines.push_back(sectionLine(section));
        if (!newSectionComment.empty()) text.lines.push_back(commentLine(newSectionComment));
        text.lines.push_back(entry);
    } else {
        std::size_t insertAt = span.header + 1;
        bool replaced = false;
        for (std::size_t i = span.header + 1; i < span.end; ++i) {
            const auto kv = parseKeyLine(text.lines[i]);
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
    return entriesOf(load(path), section);
}

std::vector<std::pair<std::string, std::string>> readSectionOfText(std::string_view fileText,
                                                                   const std::string& section) {
    return entriesOf(parse(fileText), section);
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

std::vector<SectionComments> eraseSectionsIf(const std::string& path,
                                             const std::function<bool(const SectionComments&)>& drop) {
    std::vector<SectionComments> dropped;
    IniText text = load(path);
    std::vector<std::string> kept;
    std::size_t i = 0;
    // Lines before the first header belong to no section and stay.
    while (i < text.lines.size() && !parseSectionLine(text.lines[i])) kept.push_back(text.lines[i++]);
    while (i < text.lines.size()) {
        SectionComments section{*parseSectionLine(text.lines[i]), {}};
        std::size_t end = i + 1;
        for (; end < text.lines.size() && !parseSectionLine(text.lines[end]); ++end)
            if (auto comment = commentText(text.lines[end])) section.comments.push_back(std::move(*comment));
        if (drop(section)) {
            dropped.push_back(std::move(section));
        } else {
            kept.insert(kept.end(), text.lines.begin() + static_cast<std::ptrdiff_t>(i),
                        text.lines.begin() + static_cast<std::ptrdiff_t>(end));
        }
        i = end;
    }
    if (!dropped.empty()) {
        text.lines = std::move(kept);
        save(path, text);
    }
    return dropped;
}

bool hasContent(const std::string& path) {
    for (const auto& line : load(path).lines)
        if (line.find_first_not_of(" \t") != std::string::npos) return true;
    return false;
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

// Text by text, not line by line: a GBK trail byte "\" that a quoted text
// holds doubled (see ini_line.h) must not reach the converter as an escape.
void convertToUtf8(const std::string& path) {
    IniText text = load(path);
    for (auto& line : text.lines) {
        if (const auto name = parseSectionLine(line)) line = sectionLine(gbkToUtf8(*name));
        else if (const auto kv = parseKeyLine(line)) line = keyLine(gbkToUtf8(kv->key), gbkToUtf8(kv->value));
        else line = gbkToUtf8(line);
    }
    text.byteOrderMark = true;
    save(path, text);
}

}  // namespace platform::ini
