#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "temp_dir.h"

using namespace platform;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

TEST(IniFile, FreshFileHoldsExactlyTheWrittenLines) {
    TempDir dir;
    const auto path = dir.file("Schema.ini");
    ini::writeString(path, "list.csv", "ColNameHeader", "True");
    ini::writeString(path, "list.csv", "Format", "Delimited(;)");
    EXPECT_EQ(readBytes(path), "[list.csv]\r\nColNameHeader=True\r\nFormat=Delimited(;)\r\n");
}

TEST(IniFile, ReplacesInPlaceAndKeepsOtherContent) {
    TempDir dir;
    const auto path = dir.file("Schema.ini");
    writeBytes(path, "; mine\r\n[Other.csv]\r\nFormat=TabDelimited\r\nCharacterSet=ANSI\r\n\r\n[LIST.CSV]\r\nformat=CSVDelimited\r\nMaxScanRows=0\r\n");
    ini::writeString(path, "list.csv", "Format", "Delimited( )");
    ini::writeString(path, "list.csv", "ColNameHeader", "False");
    EXPECT_EQ(readBytes(path),
              "; mine\r\n[Other.csv]\r\nFormat=TabDelimited\r\nCharacterSet=ANSI\r\n\r\n"
              "[LIST.CSV]\r\nFormat=Delimited( )\r\nMaxScanRows=0\r\nColNameHeader=False\r\n");
    EXPECT_EQ(ini::readString(path, "list.csv", "FORMAT"), "Delimited( )");
    EXPECT_EQ(ini::readString(path, "other.csv", "format"), "TabDelimited");
}

TEST(IniFile, NewSectionIsAppended) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    writeBytes(path, "[A]\r\nx=1");  // no line end after the last line
    ini::writeString(path, "B", "y", "2");
    EXPECT_EQ(readBytes(path), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
}

TEST(IniFile, ReadsDefaultsWhenMissing) {
    TempDir dir;
    const auto path = dir.file("none.ini");
    EXPECT_EQ(ini::readString(path, "S", "k", "dflt"), "dflt");
    EXPECT_TRUE(ini::readKeys(path, "S").empty());
    EXPECT_FALSE(ini::sectionExists(path, "S"));
    ini::eraseSection(path, "S");  // nothing to erase, nothing created
    EXPECT_EQ(readBytes(path), "");
}

TEST(IniFile, KeysKeepFileOrderAndLongValuesReadBackWhole) {
    TempDir dir;
    const auto path = dir.file("setup.ini");
    const std::string longValue(5000, 'q');
    const std::string group = gbk("网易");
    ini::writeString(path, "SetupCustom", "zeta", "z.com");
    ini::writeString(path, "SetupCustom", group, "163.com,126.com");
    ini::writeString(path, "SetupCustom", "alpha", longValue);
    EXPECT_EQ(ini::readKeys(path, "SetupCustom"), (std::vector<std::string>{"zeta", group, "alpha"}));
    EXPECT_EQ(ini::readString(path, "SetupCustom", "alpha"), longValue);
    // A value may hold "=".
    ini::writeString(path, "SetupCustom", "eq", "a=b");
    EXPECT_EQ(ini::readString(path, "SetupCustom", "eq"), "a=b");
}

TEST(IniFile, LetterCaseFoldsOnlyWholeAsciiCharacters) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    // 0x81 0x41 and 0x81 0x61 are two different GBK characters.
    ini::writeString(path, "S", "\x81\x41", "upper");
    ini::writeString(path, "S", "\x81\x61", "lower");
    EXPECT_EQ(ini::readString(path, "S", "\x81\x41"), "upper");
    EXPECT_EQ(ini::readString(path, "S", "\x81\x61"), "lower");
}

TEST(IniFile, EraseSectionKeepsTheRest) {
    TempDir dir;
    const auto path = dir.file("Schema.ini");
    writeBytes(path, "[mine.csv]\r\nFormat=TabDelimited\r\n[list.csv]\r\nColNameHeader=True\r\nFormat=CSVDelimited\r\n[z.csv]\r\nFormat=CSVDelimited\r\n");
    ini::eraseSection(path, "LIST.csv");
    EXPECT_EQ(readBytes(path), "[mine.csv]\r\nFormat=TabDelimited\r\n[z.csv]\r\nFormat=CSVDelimited\r\n");
}

TEST(IniFile, UnwritableFileRaisesUnableToWrite) {
    const std::string path = "/proc/version/Schema.ini";  // a directory that cannot exist
    try {
        ini::writeString(path, "S", "k", "v");
        FAIL() << "no exception";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
}

TEST(IniFile, KeysThatLookLikeHeadersOrCommentsReadBack) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    ini::writeString(path, "S", "[abc]", "1");
    ini::writeString(path, "S", ";semi", "2");
    ini::writeString(path, "T", "k", "3");
    EXPECT_EQ(ini::readKeys(path, "S"), (std::vector<std::string>{"[abc]", ";semi"}));
    EXPECT_EQ(ini::readString(path, "S", "[abc]"), "1");
    EXPECT_EQ(ini::readString(path, "T", "k"), "3");
}

// A UTF-8 file that says so: its mark is stepped over on reading and kept on
// writing; names and values are the file's bytes.
TEST(IniFile, ByteOrderMarkIsKept) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    writeBytes(path, "\xEF\xBB\xBF[S]\r\n名单=qq.com\r\n");
    EXPECT_EQ(ini::readString(path, "S", "名单"), "qq.com");
    EXPECT_TRUE(ini::isUtf8File(path));
    ini::writeString(path, "S", "😀", "x");
    EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[S]\r\n名单=qq.com\r\n😀=x\r\n");
}

TEST(IniFile, WhichFilesAreUtf8) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    const struct {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"[S]\r\nk=v\r\n", false},                 // ASCII: read as GBK, the same bytes
        {"[S]\r\n" + gbk("网易") + "=1\r\n", false},  // GBK
        {"[S]\r\n网易=1\r\n", true},                 // valid UTF-8 with a Chinese character
        {"\xEF\xBB\xBF[S]\r\n", true},              // the mark alone says so
    };
    for (const auto& c : cases) {
        writeBytes(path, c.bytes);
        EXPECT_EQ(ini::isUtf8File(path), c.utf8) << c.bytes;
    }
    EXPECT_FALSE(ini::isUtf8File(dir.file("missing.ini")));
}

TEST(IniFile, GbkFileConvertedToUtf8WithItsMark) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    writeBytes(path, "[S]\r\n" + gbk("网易") + "=163.com\r\n");
    ini::convertToUtf8(path);
    EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[S]\r\n网易=163.com\r\n");
}
