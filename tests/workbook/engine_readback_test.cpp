// The table copy read back by the engine as the tool binds it: the byte-order
// mark makes it UTF-8 and is no part of the first column's name, each cell is
// one field (separators, quotes and line breaks included), empty cells are
// nulls in their columns, and the first line gives every column.
#include <gtest/gtest.h>

#include "connection_string.h"
#include "engine/engine.h"
#include "workbook_test_support.h"
#include "xlsx_package.h"

using namespace testsupport;

TEST(EngineReadsTheCopy, EachCellOneFieldInItsColumn) {
    TempDir dir;
    writeXlsx(dir / "book.xlsx",
              R"(<row r="1"><c r="A1" t="inlineStr"><is><t>email</t></is></c><c r="B1" t="inlineStr"><is><t>姓名</t></is></c></row>)"
              R"(<row r="2"><c r="A2" t="inlineStr"><is><t>张三😀@qq.com</t></is></c><c r="C2" t="inlineStr"><is><t>a,"b"
c</t></is></c></row>)"
              R"(<row r="4"><c r="B4"><v>13800138000</v></c></row>)");
    tableCopyOf(dir / "book.xlsx", dir / "copy.csv");

    engine::Connection connection;
    connection.open(connectionString(dir.path(), "Yes", "CSVDelimited"), engine::CodePage::Utf8);
    engine::ResultSet result;
    result.open(connection, "select * from [copy.csv]");
    EXPECT_EQ(result.columnNames(), (std::vector<std::string>{"email", "姓名", "F3"}));
    ASSERT_EQ(result.recordCount(), 3u);
    EXPECT_EQ(result.columnEncoding(0), engine::CodePage::Utf8);
    EXPECT_EQ(result.value(0, 0), std::optional<std::string_view>("张三😀@qq.com"));
    EXPECT_EQ(result.value(0, 1), std::nullopt);
    EXPECT_EQ(result.value(0, 2), std::optional<std::string_view>("a,\"b\"\nc"));
    EXPECT_EQ(result.value(1, 0), std::nullopt);  // the empty row between
    EXPECT_EQ(result.value(2, 1), std::optional<std::string_view>("13800138000"));

    // Characters counted in UTF-8: two Chinese, an emoji and seven ASCII.
    engine::ResultSet count;
    count.open(connection, "select count([email]) as rcount from [copy.csv] where len([email]) = 10");
    EXPECT_EQ(count.value(std::string_view("rcount")), std::optional<std::string_view>("1"));
}
