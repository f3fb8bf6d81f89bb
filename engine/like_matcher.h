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
    // A pattern written in another code page than the texts it tests (chars):
    // it is converted character by character; a character that the texts'
    // code page cannot hold matches nothing (in a "[...]" list: is no member).
    LikeMatcher(std::string_view pattern, CodePage patternCodePage, const CharStepper& chars);

    bool matches(std::string_view text) const;
    // The same, told whether text is single-byte (isAscii) already.
    bool matches(std::string_view text, bool ascii) const {
        return ascii ? matchAscii(text.data(), text.size()) : matchChars(text);
    }
    // False when the text's first or last bytes already rule a match out
    // (the fixed start or end of the pattern, when made of single-byte
    // characters only); needs no knowledge of whether the text is
    // single-byte, so most texts of a suffix pattern like "%@qq.com" are
    // turned down at once.  True: call matches().
    bool mayMatch(std::string_view text) const {
        return (!headCheck_ || bytesMayMatch(segments_.front(), text.data(), text.size())) &&
               (!tailCheck_ || (text.size() >= segments_.back().size() &&
                                bytesMayMatch(segments_.back(), text.data() + text.size() - segments_.back().size(),
                                              segments_.back().size())));
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

    // Each of the segment's atoms accepts the byte at its place (n >= seg.size()).
    // Front to back: the "@" of a fixed end "@domain" turns most texts down
    // at the first byte, as domains differ in length.
    static bool bytesMayMatch(const Segment& seg, const char* s, std::size_t n) {
        if (n < seg.size()) return false;
        for (std::size_t i = 0; i < seg.size(); ++i)
            if (!seg[i].singleBytes[static_cast<unsigned char>(s[i])]) return false;
        return true;
    }
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
    bool headCheck_ = false;    // mayMatch() tests the first segment (fixed start, single-byte atoms)
    bool tailCheck_ = false;    // mayMatch() tests the last segment (fixed end, single-byte atoms)
};

}  // namespace engine
