#include "platform/code_page.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, RoundTripsChineseText) {
    const std::string gbkBytes = "\xD3\xCA\xBC\xFE";  // 邮件
    EXPECT_EQ(gbkToUtf8(gbkBytes), "邮件");
    EXPECT_EQ(utf8ToGbk("邮件"), gbkBytes);
    EXPECT_EQ(gbk("邮件@qq.com"), gbkBytes + "@qq.com");
}

TEST(CodePage, GbkOnlyCharactersWithAsciiTrailBytes) {
    // 咢 (0x86 0x40) has "@" as its trail byte; it must convert as one character.
    EXPECT_EQ(gbk("咢"), "\x86\x40");
    EXPECT_EQ(gbkToUtf8("\x86\x40@x"), "咢@x");
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(gbkToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(gbkToUtf8("a\x81"), "a\xEF\xBF\xBD");  // lead byte cut off at the end
    EXPECT_FALSE(gbkToUtf8Strict("a\xFF" "b").has_value());
}

TEST(CodePage, TextGbkCannotHold) {
    EXPECT_FALSE(utf8ToGbk("mail😀").has_value());
    EXPECT_EQ(utf8ToGbkLossy("a😀b"), "a?b");
    EXPECT_THROW(gbk("😀"), std::invalid_argument);
}

TEST(CodePage, CharacterLength) {
    struct Case {
        std::string bytes;
        std::size_t length;
    } cases[] = {
        {"a", 1}, {"\xD3\xCA", 2}, {"\x81\x40", 2}, {"\x81\x5B", 2},
        {"\x81\x3B", 1},  // ";" is no trail byte: the lead stands alone
        {"\x81", 1},      // lead byte at the end
        {"\xFF\x40", 1},  // 0xFF is no lead byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gbkCharLength(c.bytes.data(), c.bytes.data() + c.bytes.size()), c.length) << c.bytes;
    }
}

TEST(CodePage, Utf8CharacterSteps) {
    struct Case {
        std::string bytes;
        std::size_t length;
    } cases[] = {
        {"a", 1},
        {"\xC3\xA9", 2},          // é
        {"\xE5\xBC\xA0", 3},      // 张
        {"\xF0\x9F\x98\x80", 4},  // 😀
        {"\x80", 1},              // a stray continuation byte
        {"\xE5\xBC", 1},          // cut off at the end
        {"\xC0\xAF", 1},          // overlong "/"
        {"\xED\xA0\x80", 1},      // a surrogate
        {"\xF4\x90\x80\x80", 1},  // beyond U+10FFFF
        {"\xD6\xD0", 1},          // GBK 中: D0 is no continuation byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8CharLength(c.bytes.data(), c.bytes.data() + c.bytes.size()), c.length) << c.bytes;
}

TEST(CodePage, Utf8ValidityAndReplacement) {
    EXPECT_TRUE(isValidUtf8("张三@qq.com"));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_FALSE(isValidUtf8(gbk("张三")));
    // Every byte that starts no character is one replacement character.
    EXPECT_EQ(utf8Lossy("a\xFF\xFE" "b"), "a\xEF\xBF\xBD\xEF\xBF\xBD" "b");
    EXPECT_EQ(utf8Lossy("张\xE5\xBC"), "张\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(utf8Lossy("😀"), "😀");
}
