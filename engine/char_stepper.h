// Steps through text one character at a time in one code page: the
// connection's for statements and names, a table's for its values.
// Every operator that looks at characters (like, len, mid, instr, case
// folding, hashing, the statement tokenizer) goes through this, so that a
// trail byte such as "@" or "[" inside a double-byte character is never taken
// for a character of its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/engine.h"
#include "platform/code_page.h"

namespace engine {

class CharStepper {
public:
    explicit CharStepper(CodePage codePage = CodePage::Gbk) : codePage_(codePage) {}

    CodePage codePage() const { return codePage_; }

    // Length in bytes of the character that starts at p (p < end); bytes that
    // do not form a valid character are one character each.
    std::size_t length(const char* p, const char* end) const {
        const auto b = static_cast<unsigned char>(*p);
        if (b < 0x80) return 1;
        if (codePage_ == CodePage::Gbk) return platform::gbkCharLength(p, end);
        return utf8Length(p, end);
    }

    // Code of the character at p, for range comparisons in like lists.
    std::uint32_t code(const char* p, std::size_t len) const {
        std::uint32_t c = 0;
        for (std::size_t i = 0; i < len; ++i) c = (c << 8) | static_cast<unsigned char>(p[i]);
        return c;
    }

    // Number of characters in [p, end).
    std::size_t count(const char* p, const char* end) const {
        std::size_t n = 0;
        while (p < end) {
            p += length(p, end);
            ++n;
        }
        return n;
    }

private:
    // A well-formed UTF-8 sequence (no overlong forms, no surrogates, nothing
    // above U+10FFFF) is one character; any other byte is one on its own.
    static std::size_t utf8Length(const char* p, const char* end) {
        const auto b = static_cast<unsigned char>(*p);
        std::size_t n;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            n = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 3;
            if (b == 0xE0) low = 0xA0;
            else if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 4;
            if (b == 0xF0) low = 0x90;
            else if (b == 0xF4) high = 0x8F;
        } else {
            return 1;
        }
        if (static_cast<std::size_t>(end - p) < n) return 1;
        const auto second = static_cast<unsigned char>(p[1]);
        if (second < low || second > high) return 1;
        for (std::size_t i = 2; i < n; ++i)
            if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80) return 1;
        return n;
    }

    CodePage codePage_;
};

// True when every byte of [p, p + n) is below 0x80: such text has one
// character per byte, and the byte-wise fast paths apply.  The plain path:
// byte by byte.
inline bool isAsciiPlain(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
    return true;
}

// ⚡ The same, run for every value a like or character function meets: whole
// words, the tail as a last word that overlaps the one before (short texts:
// two overlapping loads), so that no loop runs byte by byte.
inline bool isAscii(const char* p, std::size_t n) {
    std::uint64_t acc = 0;
    if (n >= 8) {
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t w;
            __builtin_memcpy(&w, p + i, 8);
            acc |= w;
        }
        std::uint64_t last;
        __builtin_memcpy(&last, p + n - 8, 8);
        acc |= last;
    } else if (n >= 4) {
        std::uint32_t a, b;
        __builtin_memcpy(&a, p, 4);
        __builtin_memcpy(&b, p + n - 4, 4);
        acc = a | b;
    } else if (n > 0) {
        acc = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) |
              static_cast<unsigned char>(p[n - 1]);
    }
    return (acc & 0x8080808080808080ULL) == 0;
}

inline char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace engine
