// Writing and reading one UTF-8 character, for the converters.
#pragma once

#include <cstddef>
#include <string>

namespace engine {

// Appends the UTF-8 form of code point c (c < 0x110000, not a surrogate).
inline void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Writes the UTF-8 form of c at p (room for four bytes); returns its length.
inline std::size_t putUtf8(char* p, char32_t c) {
    if (c < 0x80) {
        p[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        p[0] = static_cast<char>(0xC0 | (c >> 6));
        p[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        p[0] = static_cast<char>(0xE0 | (c >> 12));
        p[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        p[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    p[0] = static_cast<char>(0xF0 | (c >> 18));
    p[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    p[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    p[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// Code point of the valid UTF-8 character of len bytes at p (len as
// CharStepper gives it for UTF-8, 2 to 4).
inline char32_t decodeUtf8(const char* p, std::size_t len) {
    const auto b = [p](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(p[i])); };
    if (len == 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (len == 3) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
}

}  // namespace engine
