#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace platform {
namespace {

// What to do with input that does not convert: the replacement to append
// and how many bytes to step over, or abandon the conversion.
struct InvalidInput {
    bool abandon = true;
    const char* replacement = "";
    bool wholeUtf8Character = false;  // skip a UTF-8 character, not one byte
};

std::size_t utf8CharacterLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t i = 1;
    while (i < n && i < rest.size() && (static_cast<unsigned char>(rest[i]) & 0xC0) == 0x80) ++i;
    return i;
}

// Converts the whole input with iconv; conversions happen where text meets
// the screen or the file system, never in a hot loop.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in, InvalidInput policy) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert between GBK and UTF-8");
    std::string out;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ, or EINVAL for a sequence cut off at the end.
        if (policy.abandon) {
            ok = false;
            break;
        }
        out += policy.replacement;
        const size_t skip = policy.wholeUtf8Character ? utf8CharacterLength({src, srcLeft}) : 1;
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbkText) {
    return *convert("UTF-8", "GBK", gbkText, {false, "\xEF\xBF\xBD", false});
}

std::optional<std::string> gbkToUtf8Strict(std::string_view gbkText) {
    return convert("UTF-8", "GBK", gbkText, {});
}

std::optional<std::string> utf8ToGbk(std::string_view utf8) { return convert("GBK", "UTF-8", utf8, {}); }

std::string utf8ToGbkLossy(std::string_view utf8) { return *convert("GBK", "UTF-8", utf8, {false, "?", true}); }

std::string gbk(std::string_view utf8) {
    auto converted = utf8ToGbk(utf8);
    if (!converted) throw std::invalid_argument("text cannot be written in GBK: " + std::string(utf8));
    return *converted;
}

bool isValidUtf8(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const auto b = static_cast<unsigned char>(*p);
        if (b < 0x80) {
            ++p;
            continue;
        }
        const std::size_t n = utf8CharLength(p, end);
        if (n == 1) return false;
        p += n;
    }
    return true;
}

std::string utf8Lossy(std::string_view text) {
    if (isValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const std::size_t n = utf8CharLength(p, end);
        if (n == 1 && static_cast<unsigned char>(*p) >= 0x80)
            out += "\xEF\xBF\xBD";
        else
            out.append(p, n);
        p += n;
    }
    return out;
}

}  // namespace platform
