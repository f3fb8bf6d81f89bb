#include "engine/file_encoding.h"

#include <string>

#include "engine/table_format.h"

namespace engine {
namespace {

std::optional<FileEncoding> markOf(std::string_view head) {
    if (head.substr(0, 3) == "\xEF\xBB\xBF") return FileEncoding::Utf8;
    if (head.substr(0, 2) == "\xFF\xFE") return FileEncoding::Utf16Le;
    if (head.substr(0, 2) == "\xFE\xFF") return FileEncoding::Utf16Be;
    return std::nullopt;
}

std::size_t markSize(FileEncoding encoding) { return encoding == FileEncoding::Utf8 ? 3 : 2; }

}  // namespace

std::optional<FileEncoding> parseCharacterSet(std::string_view value) {
    std::string word;
    for (char c : trimBlanks(value)) word.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
    if (word == "65001") return FileEncoding::Utf8;
    if (word == "1200") return FileEncoding::Utf16Le;
    if (word == "1201") return FileEncoding::Utf16Be;
    if (word == "ANSI" || word == "936") return FileEncoding::Gbk;
    return std::nullopt;
}

ContentEncoding contentEncoding(std::optional<FileEncoding> declared, std::string_view head,
                                FileEncoding connectionDefault) {
    const std::optional<FileEncoding> mark = markOf(head);
    if (!declared) {
        if (mark) return {*mark, markSize(*mark)};
        declared = connectionDefault;
    }
    if (isUtf16(*declared)) {
        if (mark && isUtf16(*mark)) return {*mark, 2};
        return {*declared, 0};
    }
    if (mark == FileEncoding::Utf8) return {*declared, 3};
    return {*declared, 0};
}

}  // namespace engine
