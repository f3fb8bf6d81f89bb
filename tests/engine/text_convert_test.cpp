// The engine's table-driven GBK <-> UTF-8 conversion gives what the
// system's converter (the platform's iconv functions, the reference) gives,
// and steps UTF-8 characters by the strict rules.
#include <gtest/gtest.h>

#include "engine/char_stepper.h"
#include "engine/text_convert.h"
#include "platform/code_page.h"

namespace {

using engine::CodePage;

std::string toUtf8(const std::string& gbk, bool* exact = nullptr) {
    std::string out;
    const bool ok = engine::appendConverted(out, gbk, CodePage::Gbk, CodePage::Utf8);
    if (exact) *exact = ok;
    return out;
}

std::string toGbk(const std::string& utf8, bool* exact = nullptr) {
    std::string out;
    const bool ok = engine::appendConverted(out, utf8, CodePage::Utf8, CodePage::Gbk);
    if (exact) *exact = ok;
    return out;
}

std::string utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        s.push_back(static_cast<char>(0xC0 | (c >> 6)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xE0 | (c >> 12)));
        s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return s;
}

TEST(TextConvert, EveryGbkCodeAsTheSystemConverterReadsIt) {
    std::size_t mapped = 0;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        const std::string single(1, static_cast<char>(lead));
        bool exact = false;
        const std::string one = toUtf8(single, &exact);
        const auto reference = platform::gbkToUtf8Strict(single);
        EXPECT_EQ(exact, reference.has_value()) << lead;
        if (reference) EXPECT_EQ(one, *reference) << lead;
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string code = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto expected = platform::gbkToUtf8Strict(code);
            const std::string got = toUtf8(code, &exact);
            ASSERT_EQ(exact, expected.has_value()) << std::hex << lead << " " << trail;
            if (expected) {
                ASSERT_EQ(got, *expected) << std::hex << lead << " " << trail;
                ++mapped;
            } else {
                // What the display gets: the platform's lossy conversion.
                ASSERT_EQ(got, platform::gbkToUtf8(code)) << std::hex << lead << " " << trail;
            }
        }
    }
    EXPECT_GT(mapped, 21000u);
}

TEST(TextConvert, EveryCharacterOfTheBasicPlaneAsTheSystemConverterWritesIt) {
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;
        const std::string utf8 = utf8Of(c);
        const auto expected = platform::utf8ToGbk(utf8);
        bool exact = false;
        const std::string got = toGbk(utf8, &exact);
        ASSERT_EQ(exact, expected.has_value()) << std::hex << static_cast<unsigned>(c);
        ASSERT_EQ(got, expected ? *expected : std::string("?")) << std::hex << static_cast<unsigned>(c);
    }
}

TEST(TextConvert, MixedTextsAndWhatCannotBeConverted) {
    const std::string zhangsan = platform::gbk("张三");
    struct Case {
        std::string from;
        CodePage fromPage;
        std::string expected;
        bool exact;
    };
    const Case cases[] = {
        {zhangsan + "@QQ.com", CodePage::Gbk, "张三@QQ.com", true},
        {"张三@QQ.com", CodePage::Utf8, zhangsan + "@QQ.com", true},
        {"", CodePage::Gbk, "", true},
        {"a\x81", CodePage::Gbk, "a\xEF\xBF\xBD", false},                   // a lead byte at the end
        {"\xFF@", CodePage::Gbk, "\xEF\xBF\xBD@", false},                    // not a GBK byte
        {"x😀y", CodePage::Utf8, "x?y", false},                              // GBK holds no emoji
        {"a\xE4\xB8z", CodePage::Utf8, "a??z", false},                       // a cut-off character: two bytes
        {"\xC0\xAF", CodePage::Utf8, "??", false},                           // an overlong "/"
        {"\xED\xA0\x80", CodePage::Utf8, "???", false},                      // a surrogate
    };
    for (const auto& c : cases) {
        const CodePage to = c.fromPage == CodePage::Gbk ? CodePage::Utf8 : CodePage::Gbk;
        std::string out = "<";
        EXPECT_EQ(engine::appendConverted(out, c.from, c.fromPage, to), c.exact) << c.from;
        EXPECT_EQ(out, "<" + c.expected) << c.from;
    }
    // The same code page: the bytes as they are.
    EXPECT_EQ(engine::converted("\xFF\x81", CodePage::Gbk, CodePage::Gbk), "\xFF\x81");
}

TEST(TextConvert, Utf8CharactersStepByTheStrictRules) {
    const engine::CharStepper utf8(CodePage::Utf8);
    struct Case {
        std::string text;
        std::size_t characters;
    };
    const Case cases[] = {
        {"abc", 3},
        {"张三", 2},
        {"é", 1},
        {"😀", 1},
        {"\xF0\x9F\x98", 3},        // a four-byte character cut off: each byte alone
        {"\xC0\x80", 2},            // overlong
        {"\xE0\x9F\xBF", 3},        // overlong three-byte form
        {"\xED\xA0\x80", 3},        // surrogate
        {"\xF4\x90\x80\x80", 4},    // above U+10FFFF
        {"\xF5\x80\x80\x80", 4},
        {"\x80\xBF", 2},            // continuation bytes alone
        {"\xEF\xBB\xBFx", 2},       // a byte-order mark inside a text is a character
        {"\xE4\xB8\x89\xE4\xB8", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(utf8.count(c.text.data(), c.text.data() + c.text.size()), c.characters) << c.text;
}

}  // namespace
