#include "source/source_encoding.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "temp_dir.h"

using source::EncodingChoice;
using source::TextEncoding;
using testsupport::TempDir;

namespace {

std::string utf16le(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

TEST(SourceEncoding, DetectionByTheFirstBytes) {
    const std::string mib(1 << 20, 'a');
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding detected;
    } cases[] = {
        {"UTF-8 with its mark", "\xEF\xBB\xBF" "email\r\n张三@qq.com\r\n", TextEncoding::Utf8Bom},
        {"UTF-16 LE", "\xFF\xFE" + utf16le(u"email\r\n"), TextEncoding::Utf16Le},
        {"UTF-16 BE", std::string("\xFE\xFF\x00" "e", 4), TextEncoding::Utf16Be},
        {"UTF-8 without a mark", "email\r\n张三@qq.com\r\n", TextEncoding::Utf8},
        {"all ASCII", "email\r\na@b.com\r\n", TextEncoding::Gbk},
        {"GBK with a GBK-only character", "email\r\n" + platform::gbk("喆@qq.com") + "\r\n", TextEncoding::Gbk},
        {"empty", "", TextEncoding::Gbk},
        // Only the first MiB counts: a bad byte after it does not make the file GBK.
        {"UTF-8, a bad byte after the first MiB", "张三\n" + mib + "\n\xFF\n", TextEncoding::Utf8},
        // The first MiB is extended to the line end, so a character across it is whole.
        {"UTF-8 character across the first MiB", std::string((1 << 20) - 1, 'a') + "张\n", TextEncoding::Utf8},
        {"GBK after ASCII beyond the first MiB", mib + "\n" + platform::gbk("张三") + "\n", TextEncoding::Gbk},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.write("list.csv", c.bytes);
        EXPECT_EQ(source::detectEncoding(path), c.detected) << c.name;
    }
    EXPECT_EQ(source::detectEncoding("/nonexistent-dir/list.csv"), TextEncoding::Gbk);
}

TEST(SourceEncoding, TheUsersChoiceOverridesDetection) {
    TempDir dir;
    const std::string utf8 = dir.write("u.csv", "张三@qq.com\r\n");
    const std::string utf8Bom = dir.write("b.csv", "\xEF\xBB\xBF" "a@b.com\r\n");
    const std::string be = dir.write("be.csv", std::string("\xFE\xFF\x00" "a", 4));
    const std::string plain = dir.write("p.csv", "a@b.com\r\n");
    const struct {
        std::string path;
        EncodingChoice choice;
        TextEncoding inForce;
    } cases[] = {
        {utf8, EncodingChoice::Auto, TextEncoding::Utf8},     {utf8, EncodingChoice::Gbk, TextEncoding::Gbk},
        {plain, EncodingChoice::Utf8, TextEncoding::Utf8},    {utf8Bom, EncodingChoice::Utf8, TextEncoding::Utf8Bom},
        {plain, EncodingChoice::Utf16, TextEncoding::Utf16Le}, {be, EncodingChoice::Utf16, TextEncoding::Utf16Be},
    };
    for (const auto& c : cases)
        EXPECT_EQ(source::resolveEncoding(c.path, c.choice), c.inForce) << c.path << static_cast<int>(c.choice);
}

TEST(SourceEncoding, NotesAndResultFiles) {
    EXPECT_EQ(source::encodingNote(TextEncoding::Utf8Bom, true), "检测为 UTF-8 (BOM)");
    EXPECT_EQ(source::encodingNote(TextEncoding::Gbk, false), "指定为 ANSI (GBK)");
    EXPECT_EQ(source::encodingNote(TextEncoding::Utf16Be, true), "检测为 UTF-16 BE");
    const struct {
        TextEncoding encoding;
        bool utf8, mark;
    } cases[] = {
        {TextEncoding::Gbk, false, false},    {TextEncoding::Utf8, true, false},
        {TextEncoding::Utf8Bom, true, true},  {TextEncoding::Utf16Le, true, true},
        {TextEncoding::Utf16Be, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(source::resultsAreUtf8(c.encoding), c.utf8);
        EXPECT_EQ(source::resultsHaveByteOrderMark(c.encoding), c.mark);
    }
}

}  // namespace
