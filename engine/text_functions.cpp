#include "engine/text_functions.h"

#include <cstring>

namespace engine {
namespace {

// Byte offset of the 1-based character position pos, or s.size() when past the end.
std::size_t byteOffsetOf(std::string_view s, std::size_t pos, bool ascii, const CharStepper& chars) {
    if (ascii) return pos - 1 < s.size() ? pos - 1 : s.size();
    const char* p = s.data();
    const char* end = p + s.size();
    for (std::size_t i = 1; i < pos && p < end; ++i) p += chars.length(p, end);
    return static_cast<std::size_t>(p - s.data());
}

bool matchesAt(const char* p, const char* end, std::string_view needle, const CharStepper& chars) {
    if (static_cast<std::size_t>(end - p) < needle.size()) return false;
    const char* q = needle.data();
    const char* qend = q + needle.size();
    while (q < qend) {
        const std::size_t len = chars.length(q, qend);
        if (chars.length(p, end) != len) return false;
        if (len == 1) {
            if (foldAscii(*p) != foldAscii(*q)) return false;
        } else if (std::memcmp(p, q, len) != 0) {
            return false;
        }
        p += len;
        q += len;
    }
    return true;
}

}  // namespace

std::size_t textLength(std::string_view s, const CharStepper& chars) {
    return textLength(s, isAscii(s.data(), s.size()), chars);
}

std::size_t textLength(std::string_view s, bool ascii, const CharStepper& chars) {
    if (ascii) return s.size();
    return chars.count(s.data(), s.data() + s.size());
}

std::string_view textMid(std::string_view s, std::size_t start, std::size_t count, const CharStepper& chars) {
    return textMid(s, isAscii(s.data(), s.size()), start, count, chars);
}

std::string_view textMid(std::string_view s, bool ascii, std::size_t start, std::size_t count, const CharStepper& chars) {
    const std::size_t from = byteOffsetOf(s, start, ascii, chars);
    std::string_view rest = s.substr(from);
    if (ascii) return rest.substr(0, count);
    const char* p = rest.data();
    const char* end = p + rest.size();
    for (std::size_t i = 0; i < count && p < end; ++i) p += chars.length(p, end);
    return rest.substr(0, static_cast<std::size_t>(p - rest.data()));
}

std::size_t textInstr(std::string_view s, std::string_view needle, std::size_t start, const CharStepper& chars) {
    return textInstr(s, needle, isAscii(s.data(), s.size()), start, chars);
}

std::size_t textInstr(std::string_view s, std::string_view needle, bool sAscii, std::size_t start,
                      const CharStepper& chars) {
    const bool ascii = sAscii && isAscii(needle.data(), needle.size());
    const char* begin = s.data();
    const char* end = begin + s.size();
    const char* p = begin + byteOffsetOf(s, start, ascii, chars);
    std::size_t pos = start;
    if (needle.empty()) return pos <= textLength(s, chars) + 1 ? pos : 0;
    if (ascii && needle.size() == 1 && !((needle[0] | 0x20) >= 'a' && (needle[0] | 0x20) <= 'z')) {
        const void* hit = std::memchr(p, needle[0], static_cast<std::size_t>(end - p));
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - begin) + 1 : 0;
    }
    while (p < end) {
        if (matchesAt(p, end, needle, chars)) return pos;
        p += ascii ? 1 : chars.length(p, end);
        ++pos;
    }
    return 0;
}

}  // namespace engine
