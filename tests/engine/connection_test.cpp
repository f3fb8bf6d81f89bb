// Connection strings, Schema.ini sections against the connection options,
// and how table names find their files.
#include <gtest/gtest.h>

#include "engine/table_format.h"
#include "engine_test_support.h"
#include "platform/code_page.h"
#include "platform/ini_file.h"

namespace {

using namespace enginetest;

TEST(ConnectionString, BothComposedFormsParse) {
    struct Case {
        std::string text;
        bool header;
        char separator;
    };
    const Case cases[] = {
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d;Extended Properties=\"Text;HDR=Yes;IMEX=1;FMT=CSVDelimited\"", true, ','},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d;Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited(;)\"", false, ';'},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d;Extended Properties=\"Text;HDR=Yes;IMEX=1;FMT=TabDelimited\"", true, '\t'},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d;Extended Properties=\"Text;HDR=Yes;IMEX=1;FMT=Delimited( )\"", true, ' '},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d;Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited\"", false, ','},
        {"data source=/d;extended properties=\"text;hdr=no;fmt=delimited(|)\"", false, '|'},
    };
    for (const auto& c : cases) {
        const auto options = engine::parseConnectionString(c.text);
        EXPECT_EQ(options.dataSource, "/d") << c.text;
        EXPECT_EQ(options.defaults.header, c.header) << c.text;
        EXPECT_EQ(options.defaults.separator, c.separator) << c.text;
    }
}

TEST(ConnectionString, MalformedStringsAreRefused) {
    const std::string bad[] = {
        "Provider=Microsoft.Jet.OLEDB.4.0",                                   // no Data Source
        "Data Source=/d;Extended Properties=\"Text;HDR=Maybe\"",               // bad HDR
        "Data Source=/d;Extended Properties=\"Text;FMT=FixedLength\"",         // unknown format
        "Data Source=/d;garbage",                                             // no "="
    };
    for (const auto& s : bad) EXPECT_THROW(engine::parseConnectionString(s), engine::Error) << s;
}

TEST(Connection, OpensOnlyAnExistingDirectory) {
    TempDir dir;
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "CSVDelimited"));
    EXPECT_TRUE(conn.isOpen());
    EXPECT_EQ(conn.dataSource(), dir.path());
    engine::Connection missing;
    try {
        missing.open(connectionString(dir.path() + "/nope", "Yes", "CSVDelimited"));
        FAIL();
    } catch (const engine::Error& e) {
        EXPECT_NE(std::string(e.what()).find(dir.path() + "/nope"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(missing.isOpen());
}

TEST(SchemaIni, SectionOverridesConnectionOptions) {
    TempDir dir;
    dir.write("semi.txt", "a;b\r\n1;2\r\n");
    dir.write("tab.txt", "a\tb\r\n1\t2\r\n");
    dir.write("blank.txt", "1 2\r\n");
    dir.write("plain.csv", "a,b\r\n1,2\r\n");
    dir.write("Schema.ini",
              "[semi.txt]\r\nColNameHeader=True\r\nFormat=Delimited(;)\r\n"
              "[TAB.TXT]\r\nColNameHeader=True\r\nFormat=TabDelimited\r\n"
              "[blank.txt]\r\nColNameHeader=False\r\nFormat=Delimited( )\r\n");
    // The connection says no header and the comma: only plain.csv follows it.
    struct Case {
        std::string table;
        std::vector<std::string> names;
        std::vector<Cell> firstRow;
    };
    const Case cases[] = {
        {"semi.txt", {"a", "b"}, {"1", "2"}},
        {"tab.txt", {"a", "b"}, {"1", "2"}},
        {"blank.txt", {"F1", "F2"}, {"1", "2"}},
        {"plain.csv", {"F1", "F2"}, {"a", "b"}},
    };
    for (const auto& c : cases) {
        auto r = run(dir.path(), "select * from [" + c.table + "]", "No", "Delimited");
        EXPECT_EQ(r.names, c.names) << c.table;
        ASSERT_FALSE(r.rows.empty()) << c.table;
        EXPECT_EQ(r.rows[0], c.firstRow) << c.table;
    }
}

TEST(SchemaIni, IsReadAgainForEachStatement) {
    TempDir dir;
    dir.write("t.csv", "a;b\r\n1;2\r\n");
    dir.write("Schema.ini", "[t.csv]\r\nColNameHeader=True\r\nFormat=Delimited(;)\r\n");
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "CSVDelimited"));
    EXPECT_EQ(run(conn, "select * from [t.csv]").names, (std::vector<std::string>{"a", "b"}));
    dir.write("Schema.ini", "[t.csv]\r\nColNameHeader=False\r\nFormat=CSVDelimited\r\n");
    auto r = run(conn, "select * from [t.csv]");
    EXPECT_EQ(r.names, (std::vector<std::string>{"F1"}));
    EXPECT_EQ(column(r), (std::vector<std::string>{"a;b", "1;2"}));
}

// Sections and values the INI service wrote in quotes (a name with blanks at
// its ends, a value in quotes of its own) are the ones the engine reads.
TEST(SchemaIni, SectionsTheServiceQuotedAreFound) {
    TempDir dir;
    const std::string names[] = {" list.csv", "list2.csv ", "\"q\".csv\""};
    for (const auto& name : names) {
        dir.write(name, "a;b\r\n1;2\r\n");
        platform::ini::writeString(dir.path() + "/Schema.ini", name, "Format", "Delimited(;)");
        platform::ini::writeString(dir.path() + "/Schema.ini", name, "ColNameHeader", "False");
        auto r = run(dir.path(), "select * from [" + name + "]", "Yes", "CSVDelimited");
        EXPECT_EQ(r.names, (std::vector<std::string>{"F1", "F2"})) << name;
        EXPECT_EQ(r.rows.size(), 2u) << name;
    }
    EXPECT_NE(testsupport::readBytes(dir.path() + "/Schema.ini").find("[\" list.csv\"]"), std::string::npos);
}

TEST(SchemaIni, BadValueIsReported) {
    TempDir dir;
    dir.write("t.csv", "a\r\n");
    dir.write("Schema.ini", "[t.csv]\r\nFormat=FixedLength\r\n");
    EXPECT_NE(failure(dir.path(), "select * from [t.csv]").find("FixedLength"), std::string::npos);
}

TEST(TableNames, AbsolutePathUsesItsOwnDirectoryAndSchema) {
    TempDir source, output;
    source.write("src.csv", "x\r\n");
    output.write("out.csv", "\"a@b.c\"\r\n\"d@e.f\"");
    output.write("Schema.ini", "[out.csv]\r\nColNameHeader=False\r\nFormat=Delimited(;)\r\n");
    // The connection says header Yes; the other directory's Schema.ini says no header.
    auto r = run(source.path(), "select * from [" + output.path() + "/out.csv]", "Yes", "CSVDelimited");
    EXPECT_EQ(r.names, (std::vector<std::string>{"F1"}));
    EXPECT_EQ(column(r), (std::vector<std::string>{"a@b.c", "d@e.f"}));
}

TEST(TableNames, GbkFileNamesAreConvertedAtTheFileSystem) {
    TempDir dir;
    dir.write("地址.csv", "email\r\nx@y.z\r\n");  // UTF-8 on disk
    const std::string gbkName = platform::gbk("地址.csv");
    auto r = run(dir.path(), "select * from [" + gbkName + "]");
    EXPECT_EQ(column(r), (std::vector<std::string>{"x@y.z"}));
    // A name that is not GBK text cannot name a file.
    const std::string msg = failure(dir.path(), "select * from [\x81\x20.csv]");
    EXPECT_NE(msg.find("cannot be used as a file name"), std::string::npos) << msg;
}

TEST(TableNames, MissingFileIsNamed) {
    TempDir dir;
    const std::string msg = failure(dir.path(), "select * from [nothere.csv]");
    EXPECT_NE(msg.find("nothere.csv"), std::string::npos) << msg;
    EXPECT_NE(msg.find("does not exist"), std::string::npos) << msg;
}

TEST(ResultSet, ClosedSetHoldsNoFileAndReadsByName) {
    TempDir dir;
    dir.write("t.csv", "name;email\r\nA;a@b.c\r\n");
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "Delimited(;)"));
    engine::ResultSet rs;
    rs.open(conn, "select count([email]) as rcount from [t.csv]");
    EXPECT_EQ(rs.recordCount(), 1u);
    EXPECT_EQ(rs.value("RCOUNT").value(), "1");
    EXPECT_THROW(rs.columnIndex("nope"), engine::Error);
    // The file can be replaced while the connection stays open.
    ASSERT_EQ(std::remove((dir.path() + "/t.csv").c_str()), 0);
    dir.write("t.csv", "name;email\r\nA;a@b.c\r\nB;\r\nC;c@d.e\r\n");
    rs.close();
    EXPECT_FALSE(rs.isOpen());
    rs.open(conn, "select count([email]) as rcount from [t.csv]");
    EXPECT_EQ(rs.value("rcount").value(), "2");
    rs.next();
    EXPECT_TRUE(rs.eof());
}

}  // namespace
