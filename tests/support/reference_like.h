// A plain like matcher, the reference the engine's compiled matcher
// (engine/like_matcher.cpp, a clever hot path) is compared against: the
// pattern and the text as sequences of GBK characters (or of UTF-8 ones),
// matched by the textbook table of prefixes.
//
// "%" takes any run of characters; "[...]" one character of the list (a
// member, or "x-y" a range of character codes unless the "-" is last);
// every other character stands for itself.  A single-byte letter also
// matches its other letter case.  A "[" list that is not closed is an error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/code_page.h"

namespace testsupport {

namespace reference_like_detail {

inline std::vector<std::string_view> characters(std::string_view s, bool utf8) {
    std::vector<std::string_view> out;
    const char* end = s.data() + s.size();
    for (const char* p = s.data(); p < end;) {
        const std::size_t n = utf8 ? platform::utf8CharLength(p, end) : platform::gbkCharLength(p, end);
        out.emplace_back(p, n);
        p += n;
    }
    return out;
}

inline std::uint32_t code(std::string_view c) {
    std::uint32_t v = 0;
    for (char b : c) v = (v << 8) | static_cast<unsigned char>(b);
    return v;
}

inline bool isLetter(std::uint32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

struct Atom {
    bool any = false;                                      // "%"
    std::vector<std::pair<std::uint32_t, std::uint32_t>> members;
    bool accepts(std::string_view c) const {
        const std::uint32_t v = code(c);
        for (auto [lo, hi] : members) {
            if (lo <= v && v <= hi) return true;
            if (c.size() == 1 && isLetter(v) && lo <= (v ^ 0x20) && (v ^ 0x20) <= hi) return true;
        }
        return false;
    }
};

}  // namespace reference_like_detail

// Whether text matches pattern; nullopt when the pattern has an unclosed list.
// Both are GBK, or UTF-8 with utf8 (a byte that starts no well-formed
// character is one of its own, as in the engine).
inline std::optional<bool> referenceLike(std::string_view pattern, std::string_view text, bool utf8 = false) {
    using namespace reference_like_detail;
    const auto p = characters(pattern, utf8);
    std::vector<Atom> atoms;
    for (std::size_t i = 0; i < p.size(); ++i) {
        Atom atom;
        if (p[i] == "%") {
            atom.any = true;
        } else if (p[i] == "[") {
            std::size_t j = i + 1;
            for (;; ) {
                if (j >= p.size()) return std::nullopt;
                if (p[j] == "]") break;
                const std::uint32_t lo = code(p[j]);
                // "x-y" is a range unless the "-" is the list's last member.
                if (j + 2 < p.size() && p[j + 1] == "-" && p[j + 2] != "]") {
                    atom.members.emplace_back(lo, code(p[j + 2]));
                    j += 3;
                } else {
                    atom.members.emplace_back(lo, lo);
                    ++j;
                }
            }
            i = j;
        } else {
            atom.members.emplace_back(code(p[i]), code(p[i]));
        }
        atoms.push_back(std::move(atom));
    }
    const auto t = characters(text, utf8);
    // can[j]: the first i atoms match the first j characters.
    std::vector<bool> can(t.size() + 1, false), next(t.size() + 1);
    can[0] = true;
    for (const Atom& atom : atoms) {
        if (atom.any) {
            bool seen = false;
            for (std::size_t j = 0; j <= t.size(); ++j) next[j] = seen = seen || can[j];
        } else {
            next[0] = false;
            for (std::size_t j = 1; j <= t.size(); ++j) next[j] = can[j - 1] && atom.accepts(t[j - 1]);
        }
        can.swap(next);
    }
    return can[t.size()];
}

}  // namespace testsupport
