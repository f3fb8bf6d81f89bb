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
