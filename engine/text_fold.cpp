#include "engine/text_fold.h"

#include <cstring>

namespace engine {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;

// Folds eight bytes at once; valid only when every byte is below 0x80.
inline std::uint64_t foldWordAscii(std::uint64_t w) {
    const std::uint64_t geA = w + kOnes * (0x80 - 'A');
    const std::uint64_t gtZ = w + kOnes * (0x80 - 'Z' - 1);
    const std::uint64_t upper = geA & ~gtZ & (kOnes * 0x80);
    return w | (upper >> 2);
}

// Folds eight bytes at once, whatever they are: bytes of 0x80 and above
// stay as they are (the UTF-8 shortcut).
inline std::uint64_t foldWordAny(std::uint64_t w) {
    const std::uint64_t low = w & (kOnes * 0x7F);
    const std::uint64_t geA = low + kOnes * (0x80 - 'A');
    const std::uint64_t gtZ = low + kOnes * (0x80 - 'Z' - 1);
    const std::uint64_t upper = geA & ~gtZ & ~w & (kOnes * 0x80);
    return w | (upper >> 2);
}

inline std::uint64_t mix(std::uint64_t h, std::uint64_t w) {
    h ^= w;
    h *= 0x9E3779B97F4A7C15ULL;
    return h ^ (h >> 29);
}

inline std::uint64_t finish(std::uint64_t h, std::size_t n) {
    h ^= n * 0xC2B2AE3D27D4EB4FULL;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return h;
}

inline std::uint64_t loadTail(const char* p, std::size_t n) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, n);
    return w;
}

// Folds UTF-8 text in place, eight bytes at a time.
void foldUtf8(char* p, char* end) {
    for (; end - p >= 8; p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        w = foldWordAny(w);
        std::memcpy(p, &w, 8);
    }
    for (; p < end; ++p) *p = foldAscii(*p);
}

// The hash of the bytes, each eight of them passed through word() first.
template <class Word>
std::uint64_t hashWords(const char* p, std::size_t n, Word word) {
    std::uint64_t h = 0x243F6A8885A308D3ULL;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        h = mix(h, word(w));
    }
    if (i < n) h = mix(h, word(loadTail(p + i, n - i)));
    return finish(h, n);
}

// Equal sizes; UTF-8 texts compared byte by byte, A-Z folded.
bool equalFoldedAnyBytes(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y && foldWordAny(x) != foldWordAny(y)) return false;
    }
    for (; i < n; ++i)
        if (a[i] != b[i] && foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

// When the eight-byte comparison meets a byte of 0x80 or above.
bool equalFoldedNotAscii(std::string_view a, std::string_view b, const CharStepper& chars) {
    if (chars.codePage() == CodePage::Utf8) return equalFoldedAnyBytes(a, b);
    return equalFoldedByCharacters(a, b, chars);
}

}  // namespace

void appendFolded(std::string& out, std::string_view text, const CharStepper& chars) {
    const std::size_t start = out.size();
    out.append(text);
    char* p = out.data() + start;
    char* end = out.data() + out.size();
    if (isAscii(p, text.size())) {
        for (; end - p >= 8; p += 8) {
            std::uint64_t w;
            std::memcpy(&w, p, 8);
            w = foldWordAscii(w);
            std::memcpy(p, &w, 8);
        }
        for (; p < end; ++p) *p = foldAscii(*p);
        return;
    }
    if (chars.codePage() == CodePage::Utf8) return foldUtf8(p, end);
    while (p < end) {
        const std::size_t len = chars.length(p, end);
        if (len == 1) *p = foldAscii(*p);
        p += len;
    }
}

void appendFoldedByCharacters(std::string& out, std::string_view text, const CharStepper& chars) {
    const std::size_t start = out.size();
    out.append(text);
    char* p = out.data() + start;
    char* end = out.data() + out.size();
    while (p < end) {
        const std::size_t len = chars.length(p, end);
        if (len == 1) *p = foldAscii(*p);
        p += len;
    }
}

std::uint64_t bytesHash(const char* p, std::size_t n) {
    return hashWords(p, n, [](std::uint64_t w) { return w; });
}

std::uint64_t foldedHash(std::string_view text, const CharStepper& chars) {
    const char* p = text.data();
    const std::size_t n = text.size();
    // One pass that assumes single-byte text and notes whether it was.
    std::uint64_t h = 0x243F6A8885A308D3ULL;
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        high |= w;
        h = mix(h, foldWordAscii(w));
    }
    if (i < n) {
        const std::uint64_t w = loadTail(p + i, n - i);
        high |= w;
        h = mix(h, foldWordAscii(w));
    }
    if ((high & (kOnes * 0x80)) == 0) return finish(h, n);
    // UTF-8: folded byte by byte, the same as bytesHash of the folded text.
    if (chars.codePage() == CodePage::Utf8) return hashWords(p, n, foldWordAny);
    thread_local std::string folded;
    folded.clear();
    appendFolded(folded, text, chars);
    return bytesHash(folded.data(), folded.size());
}

bool equalFolded(std::string_view a, std::string_view b, const CharStepper& chars) {
    if (a.size() != b.size()) return false;
    // Eight bytes, then byte by byte, while no double-byte character has
    // been passed: then a letter is a letter and not a trail byte.
    unsigned char high = 0;
    std::size_t i = 0;
    const std::size_t n = a.size();
    std::uint64_t highWords = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y) {
            if (((x | y | highWords) & (kOnes * 0x80)) != 0) return equalFoldedNotAscii(a, b, chars);
            if (foldWordAscii(x) != foldWordAscii(y)) return false;
        }
        highWords |= x;
    }
    if (highWords & (kOnes * 0x80)) high = 0x80;
    for (; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x == y) {
            high |= x;
            continue;
        }
        if ((x | y | high) & 0x80) return equalFoldedNotAscii(a, b, chars);
        if (foldAscii(static_cast<char>(x)) != foldAscii(static_cast<char>(y))) return false;
    }
    return true;
}

bool equalFoldedByCharacters(std::string_view a, std::string_view b, const CharStepper& chars) {
    const char* p = a.data();
    const char* q = b.data();
    const char* end = p + a.size();
    const char* qend = q + b.size();
    while (p < end) {
        const std::size_t len = chars.length(p, end);
        if (len == 1) {
            if (chars.length(q, qend) != 1 || foldAscii(*p) != foldAscii(*q)) return false;
        } else if (std::memcmp(p, q, len) != 0) {
            return false;
        }
        p += len;
        q += len;
    }
    return true;
}

int compareFolded(std::string_view a, std::string_view b, const CharStepper& chars) {
    thread_local std::string fa, fb;
    fa.clear();
    fb.clear();
    appendFolded(fa, a, chars);
    appendFolded(fb, b, chars);
    const int c = std::memcmp(fa.data(), fb.data(), std::min(fa.size(), fb.size()));
    if (c != 0) return c;
    return fa.size() < fb.size() ? -1 : fa.size() > fb.size() ? 1 : 0;
}

}  // namespace engine
