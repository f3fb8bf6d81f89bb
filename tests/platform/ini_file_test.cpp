#include "platform/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file_system.h"
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

// --- what is written reads back as written -----------------------------------

struct RoundTripCase {
    std::string section, key, value;
};

TEST(IniFile, WrittenTextsReadBackAsWritten) {
    const RoundTripCase cases[] = {
        {"S", "k", " leading"},
        {"S", "k", "trailing "},
        {"S", "k", "\tboth\t "},
        {"S", " key", "v"},
        {"S", "key\t", "v"},
        {"S", "[grp", "c.com]"},       // once a line that read as a section header
        {"S", "[abc]", "]"},
        {"S", "[abc]", ""},
        {"S", "k", "\"quoted\""},      // quotes of its own stay
        {"S", "k", "\" padded \""},
        {"S", "k", "\""},
        {"S", "\"k", "v"},
        {"S", "\"k\"", "v"},
        {"S", "a=b", "c=d"},
        {"S", "\"a=b\"=c", "v"},
        {"S", "k", "line\r\nbreak"},
        {"S", "k", "\r"},
        {"S", "k", "\\ back\\slash\\"},
        {"S", "k", " \\r\\n "},
        {"S", "", "empty key"},
        {"S", "k", ""},
        {"S", "k", " "},
        {" list.csv", "ColNameHeader", "True"},   // a section name with a leading blank
        {"list.csv ", "k", "v"},
        {"\"q\"", "k", "v"},
        {"a\nb.csv", "k", "v"},
        {"[x]", "k", "v"},
        {"", "k", "v"},
        // GBK characters whose trail bytes are "\", "]" and "[".
        {"\x81\x5C", "\x81\x5D", "\x81\x5B\x81\x5C "},
        {"S", "[\x81\x5D", "x\x81\x5D"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto path = dir.file("a.ini");
        // Other sections before and after must come through unchanged.
        ini::writeString(path, "before", "x", "1");
        ini::writeString(path, c.section, c.key, c.value);
        ini::writeString(path, "after", "y", "2");
        ini::writeString(path, c.section, "later", "3");
        const std::string label = "section [" + c.section + "] key [" + c.key + "] value [" + c.value + "]";
        EXPECT_EQ(ini::readString(path, c.section, c.key, "<missing>"), c.value) << label;
        EXPECT_EQ(ini::readKeys(path, c.section), (std::vector<std::string>{c.key, "later"})) << label;
        EXPECT_EQ(ini::readString(path, "before", "x"), "1") << label;
        EXPECT_EQ(ini::readString(path, "after", "y"), "2") << label;
        // Written again, the key is found and replaced in place.
        ini::writeString(path, c.section, c.key, c.value + "!");
        EXPECT_EQ(ini::readSection(path, c.section),
                  (std::vector<std::pair<std::string, std::string>>{{c.key, c.value + "!"}, {"later", "3"}}))
            << label;
        ini::eraseSection(path, c.section);
        EXPECT_FALSE(ini::sectionExists(path, c.section)) << label;
        EXPECT_EQ(ini::readKeys(path, "after"), std::vector<std::string>{"y"}) << label;
    }
}

TEST(IniFile, GroupWhoseLineLookedLikeAHeaderKeepsTheGroupsAfterIt) {
    TempDir dir;
    const auto path = dir.file("setup.ini");
    ini::writeString(path, "SetupCustom", "[grp", "c.com]");
    ini::writeString(path, "SetupCustom", "next", "d.com");
    EXPECT_EQ(ini::readSection(path, "SetupCustom"),
              (std::vector<std::pair<std::string, std::string>>{{"[grp", "c.com]"}, {"next", "d.com"}}));
    EXPECT_EQ(readBytes(path), "[SetupCustom]\r\n[grp=\"c.com]\"\r\nnext=d.com\r\n");
}

TEST(IniFile, TextsThatReadBackUnchangedAreWrittenAsTheyAre) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    ini::writeString(path, "S", "k", "a b, \"c\" d");
    ini::writeString(path, "S", "[k", "v]x");
    ini::writeString(path, "S", "k2", "\"a.com\",\"b.com\"");
    EXPECT_EQ(readBytes(path), "[S]\r\nk=a b, \"c\" d\r\n[k=v]x\r\nk2=\"a.com\",\"b.com\"\r\n");
}

struct HandWrittenCase {
    std::string line;
    std::string key, value;
};

// A file written by hand reads as it always did; only quoted texts that the
// service itself would have quoted lose their quotes.
TEST(IniFile, HandWrittenLinesReadAsBefore) {
    const HandWrittenCase cases[] = {
        {"k = v ", "k", "v"},
        {"\tk\t=\tv\t", "k", "v"},
        {"k=\"x\"", "k", "\"x\""},
        {"k=\"a.com\",\"b.com\"", "k", "\"a.com\",\"b.com\""},
        {"k=\"a\\b\"", "k", "\"a\\b\""},
        {"k=a\\nb", "k", "a\\nb"},
        {"k=\"\"", "k", "\"\""},
        {"\"k\"=v", "\"k\"", "v"},
        {"k==v", "k", "=v"},
        {"=v", "", "v"},
        {";c=1", ";c", "1"},
        {"k=\" v \"", "k", " v "},  // as the platform's INI files read it
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto path = dir.file("a.ini");
        writeBytes(path, "[S]\r\n; comment\r\n\r\n" + c.line + "\r\n[T]\r\nz=1\r\n");
        EXPECT_EQ(ini::readSection(path, "S"), (std::vector<std::pair<std::string, std::string>>{{c.key, c.value}}))
            << c.line;
    }
    // Headers: trimmed outside and inside the brackets; "[a=b]" is a header.
    TempDir dir;
    const auto path = dir.file("b.ini");
    writeBytes(path, "  [ Sec ]  \r\nk=1\r\n[grp=c.com]\r\nm=2\r\n[\"q\"]\r\nn=3\r\n");
    EXPECT_EQ(ini::readString(path, "Sec", "k"), "1");
    EXPECT_EQ(ini::readString(path, "grp=c.com", "m"), "2");
    EXPECT_EQ(ini::readString(path, "\"q\"", "n"), "3");
}

TEST(IniFile, ReadingTextInMemoryMatchesReadingTheFile) {
    const std::string text = "[S]\r\nk= v \r\n[ list.csv]\r\n[\" list.csv\"]\r\nFormat=TabDelimited\n";
    EXPECT_EQ(ini::readSectionOfText(text, "S"), (std::vector<std::pair<std::string, std::string>>{{"k", "v"}}));
    EXPECT_EQ(ini::readSectionOfText(text, " list.csv"),
              (std::vector<std::pair<std::string, std::string>>{{"Format", "TabDelimited"}}));
    EXPECT_TRUE(ini::readSectionOfText(text, "list.csv").empty());
}

// --- files that are there but cannot be read ---------------------------------

TEST(IniFile, AFolderInPlaceOfTheFileIsNamedInTheFailure) {
    TempDir dir;
    const std::string path = dir.makeDir("Schema.ini");
    const std::string expected = "Cannot read file \"" + path + "\". Is a directory";
    auto messageOf = [](auto&& action) -> std::string {
        try {
            action();
        } catch (const FileError& e) {
            return e.what();
        }
        return "<no failure>";
    };
    EXPECT_EQ(messageOf([&] { ini::writeString(path, "S", "k", "v"); }), expected);
    EXPECT_EQ(messageOf([&] { ini::readString(path, "S", "k"); }), expected);
    EXPECT_EQ(messageOf([&] { ini::eraseSection(path, "S"); }), expected);
}

TEST(IniFile, AnUnreadableFileIsNeverReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const auto path = dir.write("a.ini", "[mine]\r\nk=1\r\n");
    ::chmod(path.c_str(), 0);
    EXPECT_THROW(ini::writeString(path, "S", "k", "v"), FileError);
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(readBytes(path), "[mine]\r\nk=1\r\n");
}

TEST(IniFile, ARewrittenFileKeepsItsModeAndOwner) {
    TempDir dir;
    const auto path = dir.write("Schema.ini", "[mine.csv]\r\nFormat=TabDelimited\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0440), 0);
    // A group the process belongs to, other than the file's own where there is one.
    gid_t groups[64];
    const int count = ::getgroups(64, groups);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    gid_t group = before.st_gid;
    for (int i = 0; i < count; ++i)
        if (groups[i] != before.st_gid) group = groups[i];
    if (::geteuid() == 0) group = before.st_gid + 1;  // root may give any group
    ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), group), 0);
    ini::writeString(path, "list.csv", "Format", "CSVDelimited");
    ini::eraseSection(path, "list.csv");
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0440u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, group);
    EXPECT_EQ(readBytes(path), "[mine.csv]\r\nFormat=TabDelimited\r\n");
}

// A quoted text converted with its file: a GBK character whose trail byte is
// "\" and a real "\" both come through (the text is converted, not its line).
TEST(IniFile, QuotedTextsSurviveConversionToUtf8) {
    TempDir dir;
    const auto path = dir.file("a.ini");
    const std::string value = " " + gbk("表") + "\\x ";  // 表 is 0xB1 0xED; with blanks at its ends
    const std::string trail = "\x81\x5C";                // a GBK character with the trail byte "\"
    ini::writeString(path, "S", "k", value + trail);
    ini::writeString(path, "S" + trail, " g", "v");
    ini::convertToUtf8(path);
    EXPECT_EQ(ini::readString(path, "S", "k"), platform::gbkToUtf8(value + trail));
    EXPECT_EQ(ini::readString(path, "S" + platform::gbkToUtf8(trail), " g"), "v");
}

TEST(IniFile, ALinkStaysALinkToTheRewrittenFile) {
    TempDir dir;
    const auto real = dir.write("real.ini", "[mine]\r\nk=1\r\n");
    const auto link = dir.file("a.ini");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ini::writeString(link, "S", "k", "v");
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readBytes(real), "[mine]\r\nk=1\r\n[S]\r\nk=v\r\n");
    ini::eraseSection(link, "S");
    EXPECT_EQ(readBytes(real), "[mine]\r\nk=1\r\n");
}
