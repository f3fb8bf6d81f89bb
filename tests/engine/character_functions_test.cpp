// len, mid, instr and lcase count and fold GBK characters, never bytes.
#include <gtest/gtest.h>

#include "engine/char_stepper.h"
#include "engine/text_fold.h"
#include "engine/text_functions.h"
#include "engine_test_support.h"

namespace {

using namespace enginetest;
using engine::CharStepper;

const std::string kAtTrail = "\x81\x40";   // a character whose trail byte is "@"
const std::string kLetterTrail = "\x81\x41";  // ... whose trail byte is "A"
const std::string kZhong = "\xD6\xD0";     // an ordinary double-byte character

TEST(CharacterFunctions, LengthCountsCharacters) {
    const CharStepper gbk;
    struct Case { std::string text; std::size_t chars; };
    const Case cases[] = {{"", 0}, {"abc", 3}, {kZhong, 1}, {kZhong + "a" + kAtTrail, 3},
                          {"\x81", 1}, {"\xFF\xFF", 2}, {kZhong + "\x81", 2}};
    for (const auto& c : cases) EXPECT_EQ(engine::textLength(c.text, gbk), c.chars) << c.text;
}

TEST(CharacterFunctions, MidTakesWholeCharacters) {
    const CharStepper gbk;
    const std::string s = "a" + kZhong + "b" + kAtTrail + "c";  // 5 characters
    struct Case { std::size_t start, count; std::string expected; };
    const Case cases[] = {{1, 1, "a"}, {2, 1, kZhong}, {2, 2, kZhong + "b"}, {4, 100, kAtTrail + "c"},
                          {5, 1, "c"}, {6, 3, ""}, {1, 0, ""}, {3, 5, "b" + kAtTrail + "c"}};
    for (const auto& c : cases)
        EXPECT_EQ(engine::textMid(s, c.start, c.count, gbk), c.expected) << c.start << "," << c.count;
}

TEST(CharacterFunctions, InstrFindsCharactersNotTrailBytes) {
    const CharStepper gbk;
    struct Case { std::string s, t; std::size_t expected; };
    const Case cases[] = {
        {"ab@c", "@", 3},
        {kAtTrail + "@x", "@", 2},              // the trail byte "@" is skipped
        {kAtTrail + "x", "@", 0},
        {kZhong + kZhong + "@", "@", 3},
        {"a" + kLetterTrail + "A", "a", 1},
        {kLetterTrail + "A", "a", 2},            // letter case ignored, trail byte skipped
        {"abc", "", 1},
        {"abc", "bc", 2},
        {"", "@", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(engine::textInstr(c.s, c.t, 1, gbk), c.expected) << c.s;
}

TEST(CharacterFunctions, FoldingLeavesTrailBytesAlone) {
    const CharStepper gbk;
    std::string out;
    engine::appendFolded(out, "AbC" + kLetterTrail + "Z", gbk);
    EXPECT_EQ(out, "abc" + kLetterTrail + "z");
    EXPECT_TRUE(engine::equalFolded("ABC", "abc", gbk));
    EXPECT_FALSE(engine::equalFolded(kLetterTrail, "\x81\x61", gbk));  // different characters
    EXPECT_EQ(engine::foldedHash("Qq.CoM", gbk), engine::foldedHash("qq.com", gbk));
    // Longer texts are compared eight bytes at a time while they are single-byte.
    struct Case { std::string a, b; bool equal; };
    const Case cases[] = {
        {"ABCDEFGHIJ@QQ.COM", "abcdefghij@qq.com", true},
        {"abcdefghij@qq.com", "abcdefghij@qq.con", false},
        {"abcdefg" + kLetterTrail + "xyz", "abcdefg\x81\x61xyz", false},   // trail byte across the eight
        {"abcdefgh" + kLetterTrail + "xyz", "ABCDEFGH\x81\x61xyz", false},
        {kZhong + "abcdefghijkl", kZhong + "ABCDEFGHIJKL", true},         // letters after a double-byte character
        {kZhong + "abcdefghijkl", kZhong + "ABCDEFGHIJKM", false},
    };
    for (const auto& c : cases) EXPECT_EQ(engine::equalFolded(c.a, c.b, gbk), c.equal) << c.a;
    EXPECT_EQ(engine::foldedHash(kZhong + "AB", gbk), engine::foldedHash(kZhong + "ab", gbk));
}

TEST(CharacterFunctions, ThroughStatements) {
    TempDir dir;
    // A column name holding a character whose trail byte is "]" and one whose trail is "@".
    const std::string colName = "e" + std::string("\x81\x5D") + "m";
    dir.write("t.csv", "id;" + colName + "\r\n" +
                           "1;" + kAtTrail + "@Qq.CoM\r\n" +
                           "2;" + kZhong + "a@b.c\r\n" +
                           "3;\r\n");
    const std::string c = "[" + colName + "]";
    auto r = run(dir.path(), "select lcase(" + c + ") as l, len(" + c + ") as n, instr(" + c + ",'@') as i, mid(" + c +
                                 ",instr(" + c + ",'@')+1,len(" + c + ")) as d from [t.csv]");
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0], (std::vector<Cell>{kAtTrail + "@qq.com", "8", "2", "Qq.CoM"}));
    EXPECT_EQ(r.rows[1], (std::vector<Cell>{kZhong + "a@b.c", "6", "3", "b.c"}));
    // Functions of a null give null.
    EXPECT_EQ(r.rows[2], (std::vector<Cell>{std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
}

}  // namespace

namespace {

TEST(CharacterFunctions, Utf8CodePageStepsByUtf8Characters) {
    TempDir dir;
    dir.write("u.csv", "email\r\n\xE4\xB8\xAD\xE6\x96\x87@\xE4\xBE\x8B.cn\r\n");  // 中文@例.cn
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "CSVDelimited"), engine::CodePage::Utf8);
    EXPECT_EQ(conn.codePage(), engine::CodePage::Utf8);
    auto r = run(conn, "select len(email) as n, instr(email,'@') as i, mid(email,instr(email,'@')+1,len(email)) as d "
                       "from [u.csv] where email like '%@%.%' and email like '[\xE4\xB8\xAD]%' and email not like '%\xB8%'");
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0], (std::vector<Cell>{"7", "3", "\xE4\xBE\x8B.cn"}));
}

}  // namespace

namespace {

// The eight-byte and UTF-8 shortcuts of folding give what the plain
// character-by-character reference gives, on texts built of ASCII letters,
// UTF-8 characters, their pieces and GBK characters with letter trail bytes.
TEST(CharacterFunctions, FoldingShortcutsAgreeWithTheReference) {
    const std::vector<std::string> pieces = {"a", "Z", "q", "@", ".", "张", "é", "😀", "\xE4\xB8", "\xC3",
                                             "\x81\x41", "\xD6\xD0", "\xFF", "\x80", "AbCdEfGh", "0"};
    std::uint64_t seed = 12345;
    auto next = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>(seed >> 33);
    };
    for (const engine::CodePage page : {engine::CodePage::Gbk, engine::CodePage::Utf8}) {
        const CharStepper chars(page);
        for (int i = 0; i < 4000; ++i) {
            std::string text;
            for (std::size_t k = next() % 12; k > 0; --k) text += pieces[next() % pieces.size()];
            std::string folded, reference;
            engine::appendFolded(folded, text, chars);
            engine::appendFoldedByCharacters(reference, text, chars);
            ASSERT_EQ(folded, reference) << text;
            ASSERT_EQ(engine::foldedHash(text, chars), engine::bytesHash(reference.data(), reference.size())) << text;
            // A variant: letters' case flipped at random, sometimes one byte changed.
            std::string other = text;
            for (char& c : other)
                if (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') && next() % 2) c ^= 0x20;
            if (!other.empty() && next() % 4 == 0) other[next() % other.size()] ^= static_cast<char>(1 + next() % 0x7F);
            ASSERT_EQ(engine::equalFolded(text, other, chars), engine::equalFoldedByCharacters(text, other, chars))
                << text << " / " << other;
        }
    }
}

}  // namespace
