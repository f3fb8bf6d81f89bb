#include "engine/like_matcher.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/engine.h"
#include "engine/text_convert.h"

namespace engine {
namespace {

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void addSingle(std::array<bool, 256>& set, unsigned char c) {
    set[c] = true;
    if (isLetter(c)) set[c ^ 0x20] = true;
}

// memchr for the short texts of address lists, without the call: sixteen
// bytes at a time; the last bytes are taken with a load that ends at the
// text's end (reaching back into the text, never past it).  text is where
// the whole text starts, so that such loads stay inside it.
inline const char* findByte(const char* text, const char* p, const char* end, char b) {
    if (end - p > 64) return static_cast<const char*>(std::memchr(p, b, static_cast<std::size_t>(end - p)));
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi8(b);
    for (; end - p >= 16; p += 16) {
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), needle));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
    if (p < end && end - text >= 16) {
        const int rest = static_cast<int>(end - p);
        const unsigned mask =
            static_cast<unsigned>(_mm_movemask_epi8(
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16)), needle))) >>
            (16 - rest);
        return mask ? p + __builtin_ctz(mask) : nullptr;
    }
#endif
    for (; p < end; ++p)
        if (*p == b) return p;
    return nullptr;
}

}  // namespace

LikeMatcher::LikeMatcher(std::string_view pattern, const CharStepper& chars)
    : LikeMatcher(pattern, chars.codePage(), chars) {}

LikeMatcher::LikeMatcher(std::string_view written, CodePage patternCodePage, const CharStepper& chars) : chars_(chars) {
    // The pattern in the texts' code page; `lost` marks the bytes ("?") that
    // stand for a character that code page cannot hold.
    std::string convertedPattern;
    std::vector<bool> lost;
    std::string_view pattern = written;
    if (patternCodePage != chars.codePage()) {
        const CharStepper from(patternCodePage);
        const char* w = written.data();
        const char* wend = w + written.size();
        std::string piece;
        while (w < wend) {
            const std::size_t len = from.length(w, wend);
            piece.clear();
            if (appendConverted(piece, std::string_view(w, len), patternCodePage, chars.codePage())) {
                convertedPattern += piece;
                lost.resize(convertedPattern.size(), false);
            } else {
                convertedPattern.push_back('?');
                lost.push_back(true);
            }
            w += len;
        }
        pattern = convertedPattern;
    }
    const char* p = pattern.data();
    const char* end = p + pattern.size();
    auto isLost = [&](const char* at) {
        const auto i = static_cast<std::size_t>(at - pattern.data());
        return i < lost.size() && lost[i];
    };
    segments_.emplace_back();
    bool first = true;
    while (p < end) {
        const std::size_t len = chars_.length(p, end);
        if (len == 1 && *p == '%') {
            if (first) leadingAny_ = true;
            if (!segments_.back().empty()) segments_.emplace_back();
            trailingAny_ = true;
            ++p;
            first = false;
            continue;
        }
        first = false;
        trailingAny_ = false;
        Atom atom;
        if (len == 1 && *p == '[') {
            const char* q = p + 1;
            std::vector<std::pair<std::uint32_t, std::uint32_t>> members;
            bool closed = false;
            while (q < end) {
                const std::size_t l = chars_.length(q, end);
                if (l == 1 && *q == ']') {
                    closed = true;
                    break;
                }
                bool keep = !isLost(q);
                const std::uint32_t lo = chars_.code(q, l);
                q += l;
                // "x-y" is a range unless the "-" is the list's last member.
                if (q + 1 < end && *q == '-' && q[1] != ']') {
                    const std::size_t l2 = chars_.length(q + 1, end);
                    const std::uint32_t hi = chars_.code(q + 1, l2);
                    keep = keep && !isLost(q + 1);
                    if (keep) members.emplace_back(lo, hi);
                    q += 1 + l2;
                } else if (keep) {
                    members.emplace_back(lo, lo);
                }
            }
            if (!closed)
                throw Error("Invalid pattern '" + std::string(written) + "' in like: a \"[\" list is not closed");
            for (auto [lo, hi] : members) {
                // Codes below 0x100 are single bytes: ASCII, a GBK single-byte
                // character, or in UTF-8 a byte that starts no character
                // (which the stepper takes as one character of its own).
                for (std::uint32_t c = lo; c <= hi && c < 0x100; ++c)
                    addSingle(atom.singleBytes, static_cast<unsigned char>(c));
                if (hi >= 0x100) atom.ranges.emplace_back(lo < 0x100 ? 0x100 : lo, hi);
            }
            p = q + 1;
        } else if (len == 1) {
            if (!isLost(p)) addSingle(atom.singleBytes, static_cast<unsigned char>(*p));  // else: matches nothing
            ++p;
        } else {
            atom.literal.assign(p, len);
            p += len;
        }
        if (atom.acceptsMultiByte()) anyMultiByte_ = true;
        int accepted = 0;
        for (int b = 0; b < 256; ++b)
            if (atom.singleBytes[b]) {
                ++accepted;
                atom.uniqueByte = b;
            }
        if (accepted != 1 || atom.acceptsMultiByte()) atom.uniqueByte = -1;
        Segment& seg = segments_.back();
        if (atom.uniqueByte >= 0) seg.bytes.push_back(static_cast<char>(atom.uniqueByte));
        else seg.plainBytes = false;
        seg.atoms.push_back(std::move(atom));
    }
    if (segments_.size() > 1 && segments_.back().empty()) segments_.pop_back();
    if (pattern.empty()) trailingAny_ = false;
    // A text matches a fixed end of single-byte atoms only if its last bytes
    // are such characters, each accepted by its atom: a byte test is a safe
    // first filter, whatever characters the text holds.
    auto singleByteOnly = [](const Segment& seg) {
        for (const Atom& a : seg.atoms)
            if (a.acceptsMultiByte()) return false;
        return !seg.empty();
    };
    headCheck_ = !leadingAny_ && singleByteOnly(segments_.front());
    tailCheck_ = !trailingAny_ && !(segments_.size() == 1 && !leadingAny_) && singleByteOnly(segments_.back());
}

bool LikeMatcher::matches(std::string_view text) const {
    if (isAscii(text.data(), text.size())) return matchAscii(text.data(), text.size());
    return matchChars(text);
}

bool LikeMatcher::segmentAtAscii(const Segment& seg, const char* s) const {
    if (seg.plainBytes) {
        const char* b = seg.bytes.data();
        for (std::size_t i = 0, n = seg.bytes.size(); i < n; ++i)
            if (s[i] != b[i]) return false;
        return true;
    }
    for (std::size_t i = 0; i < seg.size(); ++i)
        if (!seg[i].singleBytes[static_cast<unsigned char>(s[i])]) return false;
    return true;
}

bool LikeMatcher::matchAscii(const char* s, std::size_t n) const {
    std::size_t pos = 0;
    std::size_t first = 0;
    std::size_t last = segments_.size();
    if (!leadingAny_) {
        const Segment& seg = segments_.front();
        if (seg.size() > n || !segmentAtAscii(seg, s)) return false;
        pos = seg.size();
        first = 1;
        if (segments_.size() == 1 && !trailingAny_) return pos == n;
    }
    std::size_t tailStart = n;
    if (!trailingAny_ && first < last) {
        const Segment& seg = segments_.back();
        if (seg.size() > n - pos) return false;
        tailStart = n - seg.size();
        if (!segmentAtAscii(seg, s + tailStart)) return false;
        --last;
    }
    for (std::size_t k = first; k < last; ++k) {
        const Segment& seg = segments_[k];
        if (seg.empty()) continue;
        bool found = false;
        while (pos + seg.size() <= tailStart) {
            if (seg[0].uniqueByte >= 0) {
                const char* hit = findByte(s, s + pos, s + tailStart - seg.size() + 1, static_cast<char>(seg[0].uniqueByte));
                if (!hit) return false;
                pos = static_cast<std::size_t>(hit - s);
                if (seg.size() == 1) {
                    found = true;
                    break;
                }
            }
            if (segmentAtAscii(seg, s + pos)) {
                found = true;
                break;
            }
            ++pos;
        }
        if (!found) return false;
        pos += seg.size();
    }
    return true;
}

bool LikeMatcher::atomMatchesChar(const Atom& atom, const char* p, std::size_t len) const {
    if (len == 1) return atom.singleBytes[static_cast<unsigned char>(*p)];
    if (!atom.literal.empty()) return atom.literal.size() == len && std::memcmp(atom.literal.data(), p, len) == 0;
    const std::uint32_t c = chars_.code(p, len);
    for (auto [lo, hi] : atom.ranges)
        if (c >= lo && c <= hi) return true;
    return false;
}

bool LikeMatcher::segmentAtChars(const Segment& seg, const char* text, const std::vector<std::uint32_t>& starts,
                                 std::size_t index) const {
    for (std::size_t i = 0; i < seg.size(); ++i) {
        const std::uint32_t b = starts[index + i];
        if (!atomMatchesChar(seg[i], text + b, starts[index + i + 1] - b)) return false;
    }
    return true;
}

bool LikeMatcher::matchChars(std::string_view text) const {
    thread_local std::vector<std::uint32_t> starts;
    starts.clear();
    const char* p = text.data();
    const char* end = p + text.size();
    for (const char* q = p; q < end; q += chars_.length(q, end)) starts.push_back(static_cast<std::uint32_t>(q - p));
    const std::size_t n = starts.size();
    starts.push_back(static_cast<std::uint32_t>(text.size()));

    std::size_t pos = 0;
    std::size_t first = 0;
    std::size_t last = segments_.size();
    if (!leadingAny_) {
        const Segment& seg = segments_.front();
        if (seg.size() > n || !segmentAtChars(seg, p, starts, 0)) return false;
        pos = seg.size();
        first = 1;
        if (segments_.size() == 1 && !trailingAny_) return pos == n;
    }
    std::size_t tailStart = n;
    if (!trailingAny_ && first < last) {
        const Segment& seg = segments_.back();
        if (seg.size() > n - pos) return false;
        tailStart = n - seg.size();
        if (!segmentAtChars(seg, p, starts, tailStart)) return false;
        --last;
    }
    for (std::size_t k = first; k < last; ++k) {
        const Segment& seg = segments_[k];
        if (seg.empty()) continue;
        bool found = false;
        for (; pos + seg.size() <= tailStart; ++pos) {
            if (segmentAtChars(seg, p, starts, pos)) {
                found = true;
                break;
            }
        }
        if (!found) return false;
        pos += seg.size();
    }
    return true;
}

}  // namespace engine
