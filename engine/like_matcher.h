// A like pattern compiled once per statement: "%" matches any run of
// characters, "[...]" one character of a list (ranges a-z allowed, every
// other member literal, so "[a-z,A-Z]" also takes the comma), every other
// character stands for itself.  Letter case of A-Z is ignored.  Texts of
// single-byte characters only take a byte-wise fast path; others are matched
// character by character, so a trail byte never matches "@" or a list.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/char_stepper.h"

namespace engine {

class LikeMatcher {
public:
    // Throws Error naming the pattern when a "[" list is not closed.
    LikeMatcher(std::string_view pattern, const CharStepper& chars);

    bool matches(std::string_view text) const;
    // The same, told whether text is single-byte (isAscii) already.
    bool matches(std::string_view text, bool ascii) const {
        return ascii ? matchAscii(text.data(), text.size()) : matchChars(text);
    }

private:
    // One pattern position: exactly one character of the text.
    struct Atom {
        std::array<bool, 256> singleBytes{};     // single-byte characters accepted
        std::string literal;                     // a multi-byte literal character
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;  // multi-byte list members
        bool acceptsMultiByte() const { return !literal.empty() || !ranges.empty(); }
        int uniqueByte = -1;                     // the one byte accepted, for memchr searches
    };
    // Atoms between two "%".
    struct Segment {
        std::vector<Atom> atoms;
        std::string bytes;        // when every atom takes exactly one byte: those bytes
        bool plainBytes = true;
        std::size_t size() const { return atoms.size(); }
        bool empty() const { return atoms.empty(); }
        const Atom& operator[](std::size_t i) const { return atoms[i]; }
    };

    bool matchAscii(const char* s, std::size_t n) const;
    bool matchChars(std::string_view text) const;
    bool atomMatchesChar(const Atom& atom, const char* p, std::size_t len) const;
    bool segmentAtAscii(const Segment& seg, const char* s) const;
    bool segmentAtChars(const Segment& seg, const char* text, const std::vector<std::uint32_t>& starts,
                        std::size_t index) const;

    CharStepper chars_;
    std::vector<Segment> segments_;
    bool leadingAny_ = false;   // pattern starts with "%"
    bool trailingAny_ = false;  // pattern ends with "%"
    bool anyMultiByte_ = false; // some atom can match only a multi-byte character
};

}  // namespace engine
