// The table copy's bytes: BOM, quoting, empty rows, the first line's width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workbook/table_writer.h"

using namespace workbook;

namespace {

class StringFile : public platform::WritableFile {
public:
    void append(std::string_view bytes) override { bytes_ += bytes; }
    void sync() override {}
    void close() override {}
    std::string bytes_;
};

// Rows of cells ("" an empty cell) through a writer; its output without the BOM.
std::string written(const std::vector<std::vector<std::string>>& rows, std::size_t firstLineFields = 0) {
    StringFile file;
    TableWriter writer(file, firstLineFields);
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) writer.cell(i) = row[i];
        writer.endRow();
    }
    writer.finish();
    EXPECT_EQ(file.bytes_.substr(0, 3), "\xEF\xBB\xBF");
    return file.bytes_.substr(3);
}

}  // namespace

TEST(TableWriter, FieldsQuotedWhereTheyHoldASeparatorQuoteOrLineBreak) {
    const struct {
        std::string cell;
        std::string field;
    } cases[] = {
        {"a@qq.com", "a@qq.com"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"张三 😀", "张三 😀"},
        {" padded ", " padded "},
    };
    for (const auto& c : cases) EXPECT_EQ(written({{c.cell, "x"}}), c.field + ",x\r\n") << c.cell;
}

TEST(TableWriter, EmptyRowsBetweenAreKeptAndAtTheEndDropped) {
    EXPECT_EQ(written({{"a", "b"}, {"", ""}, {"c"}, {""}, {}, {"", ""}}), "a,b\r\n\r\nc\r\n");
}

TEST(TableWriter, EmptyCellsKeepTheColumnsInPlace) {
    EXPECT_EQ(written({{"a", "", "c"}, {"", "", "f", "", ""}, {"", "h"}}), "a,,c\r\n,,f\r\n,h\r\n");
}

TEST(TableWriter, FirstLineCarriesTheGivenWidth) {
    EXPECT_EQ(written({{"title"}, {"a", "b", "c"}}, 3), "title,,\r\na,b,c\r\n");
    // A leading empty row is the first line all the same.
    EXPECT_EQ(written({{}, {"a", "b"}}, 2), ",\r\na,b\r\n");
}

TEST(TableWriter, ReportsRowsWidestRowAndFirstLine) {
    StringFile file;
    TableWriter writer(file, 0);
    writer.suggestFirstLineFields(2);
    writer.cell(0) = "t";
    writer.endRow();
    writer.suggestFirstLineFields(9);  // too late: the first line is written
    writer.addEmptyRows(2);
    writer.cell(3) = "d";
    writer.endRow();
    writer.cell(0) = "";
    writer.endRow();
    writer.finish();
    EXPECT_EQ(writer.rows(), 4u);
    EXPECT_EQ(writer.widestRow(), 4u);
    EXPECT_EQ(writer.firstLineFields(), 2u);
    EXPECT_EQ(file.bytes_, "\xEF\xBB\xBFt,\r\n\r\n\r\n,,,d\r\n");
}

TEST(TableWriter, NothingButTheMarkForASheetWithoutText) {
    StringFile file;
    TableWriter writer(file, 3);
    writer.cell(0) = "";
    writer.endRow();
    writer.addEmptyRows(5);
    writer.finish();
    EXPECT_EQ(writer.rows(), 0u);
    EXPECT_EQ(file.bytes_, "\xEF\xBB\xBF");
}
