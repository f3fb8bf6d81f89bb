// The two code pages of the tool's texts: UTF-8, the platform's own text (every
// text the tool composes, file names, the screen), and GBK (code page 936), the
// code page of lists saved on a Chinese desktop; conversions between them, and
// the character steps of each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// GBK bytes to UTF-8; a byte sequence that is not GBK becomes U+FFFD per byte.
std::string gbkToUtf8(std::string_view gbk);

// GBK bytes to UTF-8, or nullopt when the bytes are not valid GBK.
std::optional<std::string> gbkToUtf8Strict(std::string_view gbk);

// UTF-8 to GBK, or nullopt when the text has a character that GBK cannot hold
// (or is not valid UTF-8).
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// The GBK bytes of a text that GBK can hold, e.g. gbk("张三") for a GBK list
// (throws std::invalid_argument when it cannot: a programming error).
std::string gbk(std::string_view utf8);

// UTF-8 to GBK with "?" for every character that GBK cannot hold.
std::string utf8ToGbkLossy(std::string_view utf8);

// Length in bytes of the GBK character that starts at p (1 or 2); a lead byte
// without a valid trail byte is one character on its own.
inline std::size_t gbkCharLength(const char* p, const char* end) {
    const auto lead = static_cast<unsigned char>(*p);
    if (lead >= 0x81 && lead <= 0xFE && p + 1 < end) {
        const auto trail = static_cast<unsigned char>(p[1]);
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE)) return 2;
    }
    return 1;
}

// Length in bytes of the UTF-8 character that starts at p (2 to 4 for a
// well-formed multi-byte sequence); any byte that starts none (a stray
// continuation byte, a truncated or overlong sequence, a surrogate) is one
// character on its own.
inline std::size_t utf8CharLength(const char* p, const char* end) {
    const auto b0 = static_cast<unsigned char>(*p);
    if (b0 < 0x80) return 1;
    const auto cont = [&](std::ptrdiff_t i) {
        return p + i < end && (static_cast<unsigned char>(p[i]) & 0xC0) == 0x80;
    };
    if (b0 >= 0xC2 && b0 <= 0xDF) return cont(1) ? 2 : 1;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (!cont(1) || !cont(2)) return 1;
        const auto b1 = static_cast<unsigned char>(p[1]);
        if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F)) return 1;  // overlong, surrogate
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 1;
        const auto b1 = static_cast<unsigned char>(p[1]);
        if ((b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 > 0x8F)) return 1;  // overlong, beyond U+10FFFF
        return 4;
    }
    return 1;
}

// Whether every byte belongs to a well-formed UTF-8 character.
bool isValidUtf8(std::string_view text);

// The text with every byte that is not part of a well-formed UTF-8 character
// replaced by U+FFFD.
std::string utf8Lossy(std::string_view text);

}  // namespace platform
