// Conversions between GBK (code page 936), the code page of the tool's files
// and texts, and UTF-8, the encoding of the screen and the file system.
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

// The tool's own texts are written in UTF-8 in the sources and used as GBK:
// gbk("前缀长度不能为空!") gives the GBK bytes (throws std::invalid_argument when
// GBK cannot hold the text, which is a programming error).
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

}  // namespace platform
