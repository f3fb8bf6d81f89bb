// Each table file's encoding: Schema.ini's CharacterSet, byte-order marks
// (skipped, never part of a name or value), a user's Schema.ini with Chinese
// section names in either code page.
#include <gtest/gtest.h>

#include "encoding_test_support.h"
#include "engine/file_encoding.h"
#include "engine/table_format.h"

namespace {

using namespace enginetest;
using engine::CodePage;
using engine::FileEncoding;

TEST(CharacterSet, ValuesOfSchemaIni) {
    struct Case {
        std::string value;
        std::optional<FileEncoding> expected;
    };
    const Case cases[] = {
        {"65001", FileEncoding::Utf8},  {"1200", FileEncoding::Utf16Le}, {"1201", FileEncoding::Utf16Be},
        {"ANSI", FileEncoding::Gbk},    {"ansi", FileEncoding::Gbk},     {" Ansi ", FileEncoding::Gbk},
        {"936", FileEncoding::Gbk},     {"UTF-8", std::nullopt},         {"utf8", std::nullopt},
        {"OEM", std::nullopt},          {"", std::nullopt},              {"65000", std::nullopt},
        {"1200 LE", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(engine::parseCharacterSet(c.value), c.expected) << c.value;
}

TEST(CharacterSet, MarkOrKeyOrConnectionDecides) {
    using engine::contentEncoding;
    struct Case {
        std::optional<FileEncoding> declared;
        std::string head;
        FileEncoding connection;  // the connection's default
        FileEncoding encoding;
        std::size_t bom;
    };
    const std::string utf8Mark = "\xEF\xBB\xBF", le = "\xFF\xFE", be = "\xFE\xFF";
    const Case cases[] = {
        {std::nullopt, "nam", FileEncoding::Gbk, FileEncoding::Gbk, 0},
        {std::nullopt, "nam", FileEncoding::Utf8, FileEncoding::Utf8, 0},
        {std::nullopt, utf8Mark, FileEncoding::Gbk, FileEncoding::Utf8, 3},
        {std::nullopt, le + "n", FileEncoding::Gbk, FileEncoding::Utf16Le, 2},
        {std::nullopt, be + std::string(1, '\0'), FileEncoding::Utf8, FileEncoding::Utf16Be, 2},
        {std::nullopt, "\xEF\xBB", FileEncoding::Gbk, FileEncoding::Gbk, 0},  // not a whole mark
        {std::nullopt, "", FileEncoding::Gbk, FileEncoding::Gbk, 0},
        {FileEncoding::Utf8, utf8Mark, FileEncoding::Gbk, FileEncoding::Utf8, 3},
        {FileEncoding::Utf8, "abc", FileEncoding::Gbk, FileEncoding::Utf8, 0},
        {FileEncoding::Gbk, utf8Mark, FileEncoding::Gbk, FileEncoding::Gbk, 3},
        {FileEncoding::Utf16Le, le + "a", FileEncoding::Gbk, FileEncoding::Utf16Le, 2},
        {FileEncoding::Utf16Le, be + "a", FileEncoding::Gbk, FileEncoding::Utf16Be, 2},  // the mark gives the order
        {FileEncoding::Utf16Be, std::string("\0a", 2), FileEncoding::Gbk, FileEncoding::Utf16Be, 0},
        {std::nullopt, "nam", FileEncoding::Utf16Le, FileEncoding::Utf16Le, 0},          // a connection default
        {std::nullopt, utf8Mark, FileEncoding::Gbk, FileEncoding::Utf8, 3},              // the mark wins over it
        {FileEncoding::Utf8, "nam", FileEncoding::Gbk, FileEncoding::Utf8, 0},
    };
    for (const auto& c : cases) {
        const auto got = contentEncoding(c.declared, c.head, c.connection);
        EXPECT_EQ(got.encoding, c.encoding) << c.head;
        EXPECT_EQ(got.bomSize, c.bom) << c.head;
    }
}

// The same list, the same rows: "name;email" then two rows with Chinese names.
const std::string kListUtf8 = "name;email\r\n张三;张三@QQ.com\r\nbob;bob@x.cn\r\n";

TEST(ByteOrderMark, IsSkippedAndNeverInAColumnName) {
    struct Case {
        std::string label;
        std::string bytes;
        std::string characterSet;  // "" for no key
    };
    const Case cases[] = {
        {"utf-8 with mark, no key", "\xEF\xBB\xBF" + kListUtf8, ""},
        {"utf-8 with mark and key", "\xEF\xBB\xBF" + kListUtf8, "65001"},
        {"utf-8 without mark, key", kListUtf8, "65001"},
        {"utf-16 le, no key", utf16(kListUtf8, false), ""},
        {"utf-16 be, no key", utf16(kListUtf8, true), ""},
        {"utf-16 le, key", utf16(kListUtf8, false), "1200"},
        {"utf-16 be, key 1201", utf16(kListUtf8, true), "1201"},
        {"utf-16 be without mark, key", utf16(kListUtf8, true, false), "1201"},
        {"utf-16 le without mark, key", utf16(kListUtf8, false, false), "1200"},
        {"gbk, key ANSI", gbkOf(kListUtf8), "ANSI"},
        {"gbk with a utf-8 mark, key 936", "\xEF\xBB\xBF" + gbkOf(kListUtf8), "936"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("t.csv", c.bytes);
        if (!c.characterSet.empty()) dir.write("Schema.ini", "[t.csv]\r\nCharacterSet=" + c.characterSet + "\r\n");
        // The statement is UTF-8 here: the values are compared as text.
        auto r = runIn(CodePage::Utf8, dir.path(), "select name, email from [t.csv] where name = '张三'");
        EXPECT_EQ(r.names, (std::vector<std::string>{"name", "email"})) << c.label;
        ASSERT_EQ(r.rows.size(), 1u) << c.label;
        const bool gbk = c.characterSet == "ANSI" || c.characterSet == "936";
        EXPECT_EQ(*r.rows[0][1], gbk ? gbkOf("张三@QQ.com") : "张三@QQ.com") << c.label;

        // Without a header the mark is not in the first value either.
        auto h = runIn(CodePage::Utf8, dir.path(), "select top 1 F1 from [t.csv]", "No");
        EXPECT_EQ(column(h), (std::vector<std::string>{"name"})) << c.label;
    }
}

TEST(ByteOrderMark, AFileOfOnlyAMarkIsEmpty) {
    const std::string marks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    for (const auto& mark : marks) {
        TempDir dir;
        dir.write("t.csv", mark);
        EXPECT_TRUE(run(dir.path(), "select * from [t.csv]", "No").rows.empty());
        EXPECT_EQ(column(run(dir.path(), "select count(*) as n from [t.csv]")), (std::vector<std::string>{"0"}));
    }
}

TEST(CharacterSet, UnknownValueIsAClearError) {
    TempDir dir;
    dir.write("t.csv", "a\r\n1\r\n");
    dir.write("Schema.ini", "[t.csv]\r\nColNameHeader=True\r\nCharacterSet=UTF-8\r\n");
    const std::string msg = failure(dir.path(), "select * from [t.csv]");
    EXPECT_NE(msg.find("CharacterSet \"UTF-8\""), std::string::npos) << msg;
    EXPECT_NE(msg.find("65001"), std::string::npos) << msg;
}

TEST(SchemaIni, ChineseSectionNamesInEitherCodePage) {
    // A user's Schema.ini: the section of a file with a Chinese name, written
    // in GBK (or in UTF-8, with or without a mark).  Both connections find it.
    const std::string section = "[地址.csv]\r\nColNameHeader=True\r\nFormat=Delimited(;)\r\nCharacterSet=65001\r\n";
    struct Case {
        std::string label;
        std::string schema;
    };
    const Case cases[] = {
        {"gbk", "[other.csv]\r\nFormat=TabDelimited\r\n" + gbkOf(section)},
        {"utf-8", "[other.csv]\r\nFormat=TabDelimited\r\n" + section},
        {"utf-8 with mark", "\xEF\xBB\xBF" + section},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("地址.csv", "name;email\r\n张三;a@b.c\r\n");
        dir.write("Schema.ini", c.schema);
        // The connection string says no header and the comma: only the section makes this work.
        auto utf8 = runIn(CodePage::Utf8, dir.path(), "select email from [地址.csv] where name = '张三'", "No", "CSVDelimited");
        EXPECT_EQ(column(utf8), (std::vector<std::string>{"a@b.c"})) << c.label;
        auto gbk = runIn(CodePage::Gbk, dir.path(), gbkOf("select email from [地址.csv] where name = '张三'"), "No",
                         "CSVDelimited");
        EXPECT_EQ(column(gbk), (std::vector<std::string>{"a@b.c"})) << c.label;
    }
}

TEST(SchemaIni, TheConnectionsCodePageWinsWhenBothFormsAreThere) {
    TempDir dir;
    dir.write("地址.csv", "a;b\r\n1;2\r\n");
    dir.write("Schema.ini", gbkOf("[地址.csv]\r\nFormat=TabDelimited\r\n") + "[地址.csv]\r\nFormat=Delimited(;)\r\n");
    EXPECT_EQ(runIn(CodePage::Utf8, dir.path(), "select * from [地址.csv]").names,
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(runIn(CodePage::Gbk, dir.path(), gbkOf("select * from [地址.csv]")).names,
              (std::vector<std::string>{"a;b"}));
}

TEST(ColumnNames, HeaderNamesComeInTheConnectionsCodePage) {
    TempDir dir;
    dir.write("u.csv", "\xEF\xBB\xBF姓名;邮箱\r\n张三;a@b.c\r\n");
    dir.write("g.csv", gbkOf("姓名;邮箱\r\n张三;a@b.c\r\n"));
    dir.write("Schema.ini", "[g.csv]\r\nCharacterSet=936\r\n");
    for (const std::string table : {"u.csv", "g.csv"}) {
        auto g = runIn(CodePage::Gbk, dir.path(), gbkOf("select [邮箱] from [" + table + "] where [姓名] = '张三'"));
        EXPECT_EQ(g.names, (std::vector<std::string>{gbkOf("邮箱")})) << table;
        EXPECT_EQ(g.rows.size(), 1u) << table;
        auto u = runIn(CodePage::Utf8, dir.path(), "select * from [" + table + "]");
        EXPECT_EQ(u.names, (std::vector<std::string>{"姓名", "邮箱"})) << table;
    }
    // A name the connection's code page cannot write shows "?" for the character.
    dir.write("e.csv", "\xEF\xBB\xBF😀x;b\r\n1;2\r\n");
    EXPECT_EQ(runIn(CodePage::Gbk, dir.path(), "select * from [e.csv]").names, (std::vector<std::string>{"?x", "b"}));
}

}  // namespace

namespace {

TEST(CharacterSet, TheConnectionStringGivesTheDefaultOfUnmarkedFiles) {
    // UTF-8 statements over a folder of GBK lists that carry no key: the
    // connection string says GBK; a marked file and a file's own key still win.
    TempDir dir;
    dir.write("g.csv", gbkOf("name;email\r\n张三;a@b.c\r\n"));
    dir.write("u.csv", "\xEF\xBB\xBFname;email\r\n张三;u@b.c\r\n");
    dir.write("k.csv", "name;email\r\n张三;k@b.c\r\n");
    dir.write("Schema.ini", "[k.csv]\r\nCharacterSet=65001\r\n");
    const std::string connection = "Data Source=" + dir.path() +
                                   ";Extended Properties=\"Text;HDR=Yes;FMT=Delimited(;);CharacterSet=ANSI\"";
    engine::Connection conn;
    conn.open(connection, CodePage::Utf8);
    for (const std::string table : {"g.csv", "u.csv", "k.csv"}) {
        auto r = run(conn, "select email from [" + table + "] where name = '张三'");
        EXPECT_EQ(r.rows.size(), 1u) << table;
    }
    engine::ResultSet rs;
    rs.open(conn, "select name from [g.csv]");
    EXPECT_EQ(rs.columnEncoding(0), CodePage::Gbk);
    // Values of the key are those of Schema.ini.
    EXPECT_EQ(engine::parseConnectionString("Data Source=/d;Extended Properties=\"Text;CharacterSet=65001\"")
                  .defaults.defaultCharacterSet,
              FileEncoding::Utf8);
    EXPECT_THROW(engine::parseConnectionString("Data Source=/d;Extended Properties=\"Text;CharacterSet=UTF8\""),
                 engine::Error);
}

}  // namespace
