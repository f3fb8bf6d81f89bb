// The like patterns of the address conditions, byte-wise and with GBK
// characters whose trail byte looks like "@", "[", "]", "\" or a letter.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/like_matcher.h"

namespace {

using engine::CharStepper;
using engine::LikeMatcher;

// GBK characters whose second byte is a structural-looking ASCII byte.
const std::string kTrailAt = "\x81\x40";       // trail byte "@"
const std::string kTrailOpen = "\x81\x5B";     // trail byte "["
const std::string kTrailClose = "\x81\x5D";    // trail byte "]"
const std::string kTrailBackslash = "\x81\x5C";
const std::string kTrailA = "\x81\x41";        // trail byte "A"
const std::string kTrailDot = "\xB0\xA1";      // an ordinary character (no ASCII trail)

struct LikeCase {
    std::string pattern;
    std::string text;
    bool expected;
};

class LikeCases : public ::testing::TestWithParam<LikeCase> {};

TEST_P(LikeCases, MatchesAsExpected) {
    const LikeCase& c = GetParam();
    LikeMatcher m(c.pattern, CharStepper(engine::CodePage::Gbk));
    EXPECT_EQ(m.matches(c.text), c.expected) << "pattern '" << c.pattern << "' text '" << c.text << "'";
}

// The byte filter in front of matches() may let a text through that then
// fails, but must never turn down a text that matches.
TEST_P(LikeCases, ByteFilterNeverTurnsDownAMatch) {
    const LikeCase& c = GetParam();
    LikeMatcher m(c.pattern, CharStepper(engine::CodePage::Gbk));
    if (c.expected) {
        EXPECT_TRUE(m.mayMatch(c.text)) << "pattern '" << c.pattern << "' text '" << c.text << "'";
    }
    if (!m.mayMatch(c.text)) {
        EXPECT_FALSE(m.matches(c.text));
    }
}

INSTANTIATE_TEST_SUITE_P(
    AddressTests, LikeCases,
    ::testing::Values(
        // basic shape
        LikeCase{"%@%.%", "a@b.c", true}, LikeCase{"%@%.%", "a.b@c", false}, LikeCase{"%@%.%", "ab", false},
        LikeCase{"%@%.%", "@.", true}, LikeCase{"%@%.%", "", false},
        // blank, "@.", "@@", leading "@", ".." after "@"
        LikeCase{"% %", "a b", true}, LikeCase{"% %", "ab", false},
        LikeCase{"%@.%", "a@.b", true}, LikeCase{"%@.%", "a@b.c", false},
        LikeCase{"%@@%", "a@@b", true}, LikeCase{"%@@%", "a@b@", false},
        LikeCase{"[@]%", "@a", true}, LikeCase{"[@]%", "a@", false}, LikeCase{"[@]%", "", false},
        LikeCase{"%@%..%", "a@b..c", true}, LikeCase{"%@%..%", "a..b@c.d", false},
        // ends with a letter or a comma
        LikeCase{"%[a-z,A-Z]", "a@b.c", true}, LikeCase{"%[a-z,A-Z]", "a@b.C", true},
        LikeCase{"%[a-z,A-Z]", "a@b.c,", true}, LikeCase{"%[a-z,A-Z]", "a@b.c1", false},
        LikeCase{"%[a-z,A-Z]", "a@b.", false}, LikeCase{"%[a-z,A-Z]", "", false},
        // letter case is ignored, pattern text is literal otherwise
        LikeCase{"p@%.%", "P@x.y", true}, LikeCase{"%@QQ.COM", "a@qq.com", true},
        LikeCase{"a_b@%", "a_b@x", true}, LikeCase{"a_b@%", "axb@x", false},
        LikeCase{"%@p", "a@x.p", false}, LikeCase{"%@p", "a@p", true},
        LikeCase{"", "", true}, LikeCase{"", "a", false}, LikeCase{"%", "", true}, LikeCase{"abc", "abc", true},
        LikeCase{"abc", "abcd", false}, LikeCase{"a%a", "a", false}, LikeCase{"a%a", "aa", true},
        LikeCase{"[0-9]%", "7x", true}, LikeCase{"[0-9]%", "x7", false},
        // longer texts (the searches take sixteen bytes at a time, or call memchr)
        LikeCase{"%@%.%", std::string(40, 'a') + "@" + std::string(30, 'b') + ".c", true},
        LikeCase{"%@%.%", std::string(40, 'a') + "." + std::string(30, 'b') + "@c", false},
        LikeCase{"%@%.%", std::string(17, 'a') + "@b.c", true},
        LikeCase{"%@%.%", std::string(15, 'a') + "@" + std::string(15, 'b') + ".", true},
        LikeCase{"%@%..%", std::string(20, 'x') + "@" + std::string(20, 'y') + "..z", true},
        LikeCase{"%@%..%", std::string(20, 'x') + ".." + std::string(20, 'y') + "@z.q", false},
        LikeCase{"% %", std::string(200, 'q') + " ", true}, LikeCase{"% %", std::string(200, 'q'), false},
        // a "." before the "@" must not count, also where the search looks back over it
        LikeCase{"%@%.%", "xxxxxxxxxx.yy@zzzz", false}, LikeCase{"%@%.%", "xxxxxxxxxx.yy@zz.z", true},
        LikeCase{"%@%.%", "x.y@" + std::string(13, 'z'), false}, LikeCase{"%@%.%", "x.y@" + std::string(13, 'z') + ".", true},
        LikeCase{"%@%..%", "a..b.c.d.e.f.g@h.i", false}, LikeCase{"% %", "abcdefghijklmnopqrs", false}));

INSTANTIATE_TEST_SUITE_P(
    GbkTrailBytes, LikeCases,
    ::testing::Values(
        // A trail byte "@" is no "@".
        LikeCase{"%@%.%", "a" + kTrailAt + "b.c", false}, LikeCase{"%@%.%", kTrailAt + "@b.c", true},
        LikeCase{"[@]%", kTrailAt + "x", false}, LikeCase{"%@@%", "a" + kTrailAt + "@b", false},
        LikeCase{"%@.%", "a" + kTrailAt + ".b", false},
        // A trailing double-byte character with a letter trail is no letter.
        LikeCase{"%[a-z,A-Z]", "a@b.c" + kTrailA, false}, LikeCase{"%[a-z,A-Z]", kTrailA + "@b.c", true},
        // Characters as pattern members.
        LikeCase{"%" + kTrailAt + "%", "x" + kTrailAt + "y", true},
        LikeCase{"%" + kTrailAt + "%", "x@y", false},
        LikeCase{kTrailOpen + "%", kTrailOpen + "abc", true},
        LikeCase{"%" + kTrailClose, "abc" + kTrailClose, true},
        LikeCase{"%" + kTrailBackslash + "%", "a" + kTrailBackslash + "b", true},
        LikeCase{"[" + kTrailDot + "]%", kTrailDot + "x", true},
        LikeCase{"%@" + kTrailDot + ".cn", "a@" + kTrailDot + ".cn", true},
        // "%" steps over whole characters: "a" must not match a trail byte "A".
        LikeCase{"%a", "x" + kTrailA, false}, LikeCase{"%A%", kTrailA, false},
        // Invalid GBK bytes are single characters and never crash.
        LikeCase{"%@%.%", "\xFF@\x81.c", true}, LikeCase{"%", "\x81", true}, LikeCase{"_", "\x81", false},
        // Suffix and prefix patterns (the domain export): the right bytes at
        // the end or start are not enough when one is a trail byte.
        LikeCase{"%@qq.com", "a" + kTrailAt + "qq.com", false}, LikeCase{"%@qq.com", kTrailAt + "@QQ.Com", true},
        LikeCase{"%@qq.com", kTrailDot + "@qq.com", true}, LikeCase{"%@qq.com", "@qq.com", true},
        LikeCase{"%@qq.com", "qq.com", false}, LikeCase{"%@qq.com", "a@qq.co", false},
        LikeCase{"%a", kTrailA, false}, LikeCase{"%a", kTrailDot + "A", true},
        LikeCase{"@%", kTrailAt + "x", false}, LikeCase{"a%b", "ab", true}, LikeCase{"a%b", "a", false},
        LikeCase{"a%b", "b", false}, LikeCase{"[@]%[a-z]", "@" + kTrailA, false},
        LikeCase{"%" + kTrailAt, "x" + kTrailAt, true}, LikeCase{"%" + kTrailAt, "x@", false}));

TEST(LikeMatcher, ByteFilterTurnsDownOtherSuffixesAndPrefixes) {
    LikeMatcher suffix("%@qq.com", CharStepper());
    EXPECT_FALSE(suffix.mayMatch("a@163.com"));
    EXPECT_FALSE(suffix.mayMatch("qq.com"));  // shorter than the fixed end
    EXPECT_TRUE(suffix.mayMatch("a@QQ.COM"));
    LikeMatcher prefix("[@]%", CharStepper());
    EXPECT_FALSE(prefix.mayMatch("a@b"));
    EXPECT_FALSE(prefix.mayMatch(""));
    EXPECT_TRUE(prefix.mayMatch("@b"));
}

TEST(LikeMatcher, UnclosedListIsAnError) {
    try {
        LikeMatcher m("%[a-z", CharStepper());
        FAIL() << "no error";
    } catch (const engine::Error& e) {
        EXPECT_NE(std::string(e.what()).find("%[a-z"), std::string::npos) << e.what();
    }
}

TEST(LikeMatcher, TrailBracketDoesNotOpenAList) {
    // "\x81[" is one character, so no list is opened and nothing is unclosed.
    LikeMatcher m("%" + kTrailOpen, CharStepper());
    EXPECT_TRUE(m.matches("ab" + kTrailOpen));
    EXPECT_FALSE(m.matches("ab["));
}

}  // namespace

// In UTF-8 a byte that starts no well-formed character is a character of its
// own, its code the byte: a list names it as a member or takes it within a
// range, as it does any other character (found by the like fuzz target with
// a list of such bytes and the text 0xC5).
TEST(LikeMatcher, Utf8ListsTakeBytesThatStartNoCharacter) {
    const CharStepper utf8(engine::CodePage::Utf8);
    const struct {
        std::string pattern, text;
        bool match;
    } cases[] = {
        {"[\xC5]", "\xC5", true},
        {"[\xD2\xFF\xFF\xFFW\xC5%]", "\xC5", true},
        {"[a-\xC3\xA9]", "\xC5", true},  // 0x61 <= 0xC5 <= 0xC3A9
        {"[\xC5]", "\xC6", false},
        {"[a-z]", "\xC5", false},
        {"%[\xC5]", "x@y\xC5", true},
    };
    for (const auto& c : cases) {
        LikeMatcher m(c.pattern, utf8);
        EXPECT_EQ(m.matches(c.text), c.match) << c.pattern;
        EXPECT_EQ(m.matches(c.text, false), c.match) << c.pattern << " (character path)";
        if (c.match) EXPECT_TRUE(m.mayMatch(c.text)) << c.pattern << " (byte filter)";
    }
}
