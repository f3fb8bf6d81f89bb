#include "engine/text_convert.h"

#include <iconv.h>

#include <cstdint>
#include <atomic>
#include <cstring>

#include "engine/char_stepper.h"
#include "engine/utf8.h"

namespace engine {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The GBK code page as the system's converter defines it.  Each character is
// asked of the converter the first time it is met and then remembered, so a
// conversion costs a table lookup per character, and a process that meets
// few characters asks few.  The tables are shared by the scanning threads:
// an entry is written whole (atomically) and always with the same value.
class GbkTables {
public:
    static constexpr std::uint32_t kUnknown = 0;           // not asked yet
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;    // the converter has no such character

    // Code point of the double-byte code lead, trail; or kNone.
    std::uint32_t pair(unsigned lead, unsigned trail) {
        auto& entry = pairs_[(lead - 0x81) * kTrails + (trail - 0x40)];
        std::uint32_t v = entry.load(std::memory_order_relaxed);
        if (v == kUnknown) {
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            v = codeOf(ask(converters().toUtf8, in, 2));
            entry.store(v, std::memory_order_relaxed);
        }
        return v;
    }
    // Code point of a byte above 0x7F that stands alone (0x80); or kNone.
    std::uint32_t single(unsigned byte) {
        auto& entry = singles_[byte - 0x80];
        std::uint32_t v = entry.load(std::memory_order_relaxed);
        if (v == kUnknown) {
            const char in = static_cast<char>(byte);
            v = codeOf(ask(converters().toUtf8, &in, 1));
            entry.store(v, std::memory_order_relaxed);
        }
        return v;
    }
    // GBK code of a code point of the basic plane (a byte below 0x100, or
    // lead << 8 | trail); or kNone.
    std::uint32_t code(char32_t c) {
        auto& entry = codes_[c];
        std::uint32_t v = entry.load(std::memory_order_relaxed);
        if (v == kUnknown) {
            char utf8[4];
            const std::string gbk = ask(converters().toGbk, utf8, putUtf8(utf8, c));
            v = gbk.size() == 1 ? static_cast<unsigned char>(gbk[0])
                : gbk.size() == 2 ? static_cast<std::uint32_t>(static_cast<unsigned char>(gbk[0]) << 8 |
                                                               static_cast<unsigned char>(gbk[1]))
                                  : kNone;
            entry.store(v, std::memory_order_relaxed);
        }
        return v;
    }

private:
    static constexpr unsigned kTrails = 0xFF - 0x40;  // trail bytes 0x40..0xFE

    // One pair of converters per thread (a converter holds state).
    struct Converters {
        iconv_t toUtf8 = iconv_open("UTF-8", "GBK");
        iconv_t toGbk = iconv_open("GBK", "UTF-8");
        ~Converters() {
            if (toUtf8 != reinterpret_cast<iconv_t>(-1)) iconv_close(toUtf8);
            if (toGbk != reinterpret_cast<iconv_t>(-1)) iconv_close(toGbk);
        }
    };
    static Converters& converters() {
        thread_local Converters c;
        if (c.toUtf8 == reinterpret_cast<iconv_t>(-1) || c.toGbk == reinterpret_cast<iconv_t>(-1))
            throw Error("The system cannot convert between GBK and UTF-8 (iconv has no GBK)");
        return c;
    }
    // One character through a converter: the bytes it gives, or "" when it refuses.
    static std::string ask(iconv_t cd, const char* in, std::size_t n) {
        char src[4], dst[8];
        std::memcpy(src, in, n);
        char* ip = src;
        char* op = dst;
        std::size_t il = n, ol = sizeof dst;
        const std::size_t rc = iconv(cd, &ip, &il, &op, &ol);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (rc == static_cast<std::size_t>(-1) || il != 0) return std::string();
        return std::string(dst, static_cast<std::size_t>(op - dst));
    }
    // The code point of one whole UTF-8 character, else kNone.
    static std::uint32_t codeOf(const std::string& utf8) {
        if (utf8.empty()) return kNone;
        const CharStepper chars(CodePage::Utf8);
        const std::size_t len = chars.length(utf8.data(), utf8.data() + utf8.size());
        if (len != utf8.size()) return kNone;
        return len == 1 ? static_cast<unsigned char>(utf8[0]) : decodeUtf8(utf8.data(), len);
    }

    std::atomic<std::uint32_t> pairs_[0x7E * kTrails] = {};
    std::atomic<std::uint32_t> singles_[0x80] = {};
    std::atomic<std::uint32_t> codes_[0x10000] = {};
};

GbkTables& gbkTables() {
    static GbkTables tables;
    return tables;
}

// Appends the run of bytes below 0x80 at p and returns where it ends.
const char* copyAscii(std::string& out, const char* p, const char* end) {
    const char* q = p;
    while (q < end && static_cast<unsigned char>(*q) < 0x80) ++q;
    out.append(p, q);
    return q;
}

bool gbkToUtf8(std::string& out, std::string_view text) {
    GbkTables& t = gbkTables();
    const char* p = text.data();
    const char* end = p + text.size();
    bool exact = true;
    while (p < end) {
        p = copyAscii(out, p, end);
        if (p == end) break;
        const auto lead = static_cast<unsigned char>(*p);
        if (platform::gbkCharLength(p, end) == 2) {
            const std::uint32_t c = t.pair(lead, static_cast<unsigned char>(p[1]));
            if (c != GbkTables::kNone) {
                appendUtf8(out, c);
                p += 2;
                continue;
            }
        }
        // A byte that starts no character: one replacement, and the next
        // byte is read afresh (as the system's converter does).
        const std::uint32_t c = t.single(lead);
        if (c == GbkTables::kNone) exact = false;
        appendUtf8(out, c != GbkTables::kNone ? c : kReplacement);
        ++p;
    }
    return exact;
}

bool utf8ToGbk(std::string& out, std::string_view text) {
    GbkTables& t = gbkTables();
    const CharStepper chars(CodePage::Utf8);
    const char* p = text.data();
    const char* end = p + text.size();
    bool exact = true;
    while (p < end) {
        p = copyAscii(out, p, end);
        if (p == end) break;
        const std::size_t len = chars.length(p, end);
        const char32_t c = len == 1 ? 0x110000 : decodeUtf8(p, len);
        const std::uint32_t code = c < 0x10000 ? t.code(c) : GbkTables::kNone;
        if (code == GbkTables::kNone) {
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
