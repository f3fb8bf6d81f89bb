// Each kind of cell of an .xlsx sheet, written part by part, to the field
// the table copy holds: one row of XML, one line of the copy.
#include <gtest/gtest.h>

#include "workbook_test_support.h"
#include "xlsx_package.h"

using namespace testsupport;

namespace {

const std::string kStrings = sharedStringsXml({
    "<t>alice@qq.com</t>",
    "<r><rPr><b/></rPr><t>bo</t></r><r><t>b@163.com</t></r>",  // rich text: the runs joined
    "<t>山田</t><rPh sb=\"0\" eb=\"2\"><t>やまだ</t></rPh>",     // the phonetic run left out
    "<t xml:space=\"preserve\"> 空格 </t>",
    "<t>a_x000D__x000A_b</t>",
    "<t>张三😀@qq.com</t>",
    "<t/>",
    "<t>x &amp; y &lt;z&gt;</t>",
});

// Cell formats: 0 General, 1 date (14), 2 date and time (22), 3 a Chinese
// date of the workbook's own, 4 a time (21), 5 "0.00", 6 elapsed hours.
const std::string kStyles = stylesXml({0, 14, 22, 164, 21, 165, 46},
                                      {{164, "yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"}, {165, "0.00"}});

struct CellCase {
    const char* what;
    std::string row;    // the cells of row 1
    std::string line;   // the copy's first line, without its CR LF
};

}  // namespace

TEST(XlsxCells, EachKindOfCellAsTheSpreadsheetShowsIt) {
    const CellCase cases[] = {
        {"shared strings", R"(<c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c>)",
         "alice@qq.com,bob@163.com,山田"},
        {"blanks and escapes in shared strings", R"(<c r="A1" t="s"><v>3</v></c><c r="B1" t="s"><v>4</v></c>)",
         " 空格 ,\"a\r\nb\""},
        {"entities", R"(<c r="A1" t="s"><v>7</v></c>)", "x & y <z>"},
        {"Chinese and an emoji", R"(<c r="A1" t="s"><v>5</v></c><c r="B1" t="inlineStr"><is><t>李四😀</t></is></c>)",
         "张三😀@qq.com,李四😀"},
        {"inline strings",
         R"(<c r="A1" t="inlineStr"><is><t>x@y.com</t></is></c><c r="B1" t="inlineStr"><is><r><t>a</t></r><r><t>b</t></r></is></c>)",
         "x@y.com,ab"},
        {"numbers",
         R"(<c r="A1"><v>13800138000</v></c><c r="B1" t="n"><v>3.5</v></c><c r="C1"><v>1.38E+10</v></c><c r="D1" s="5"><v>2</v></c><c r="E1"><v>-0.125</v></c>)",
         "13800138000,3.5,13800000000,2,-0.125"},
        {"booleans", R"(<c r="A1" t="b"><v>1</v></c><c r="B1" t="b"><v>0</v></c>)", "TRUE,FALSE"},
        {"formulas by their cached value",
         R"(<c r="A1"><f>1+1</f><v>2</v></c><c r="B1" t="str"><f>"a"&amp;"b"</f><v>ab</v></c><c r="C1" t="e"><f>1/0</f><v>#DIV/0!</v></c><c r="D1" t="b"><f>TRUE()</f><v>1</v></c><c r="E1"><f>X</f></c><c r="F1" t="s"><v>0</v></c>)",
         "2,ab,#DIV/0!,TRUE,,alice@qq.com"},
        {"dates where the number format is a date",
         R"(<c r="A1" s="1"><v>45352</v></c><c r="B1" s="2"><v>45352.354166666664</v></c><c r="C1" s="3"><v>45352</v></c><c r="D1" s="4"><v>0.75</v></c><c r="E1" s="6"><v>1.5</v></c><c r="F1" s="1"><v>-3</v></c>)",
         "2024-03-01,2024-03-01 08:30:00,2024-03-01,18:00:00,1.5,-3"},
        {"ISO date cells", R"(<c r="A1" t="d"><v>2024-03-01T08:30:00Z</v></c><c r="B1" t="d"><v>2024-03-01</v></c>)",
         "2024-03-01 08:30:00,2024-03-01"},
        {"empty cells in the middle keep the columns in place",
         R"(<c r="A1" t="s"><v>0</v></c><c r="C1"><v>3</v></c><c r="E1" t="s"><v>6</v></c><c r="F1" s="1"/>)",
         "alice@qq.com,,3"},
        {"cells without references follow each other",
         R"(<c t="s"><v>0</v></c><c><v>1</v></c><c r="D1"><v>4</v></c><c><v>5</v></c>)",
         "alice@qq.com,1,,4,5"},
        {"a comma, a quote and a line break",
         R"(<c r="A1" t="inlineStr"><is><t>a,b</t></is></c><c r="B1" t="inlineStr"><is><t>say "hi"</t></is></c><c r="C1" t="inlineStr"><is><t>two
lines</t></is></c>)",
         "\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\""},
    };
    TempDir dir;
    for (const auto& c : cases) {
        writeXlsx(dir / "cells.xlsx", "<row r=\"1\">" + c.row + "</row>", kStrings, kStyles);
        EXPECT_EQ(tableCopyOf(dir / "cells.xlsx", dir / "cells.csv"), c.line + "\r\n") << c.what;
    }
}

TEST(XlsxCells, DatesOfThe1904Calendar) {
    TempDir dir;
    XlsxParts parts;
    parts.sheets.push_back({"S", worksheetXml(R"(<row r="1"><c r="A1" s="1"><v>43890</v></c></row>)")});
    parts.styles = kStyles;
    parts.date1904 = true;
    writeXlsx(dir / "1904.xlsx", parts);
    EXPECT_EQ(tableCopyOf(dir / "1904.xlsx", dir / "1904.csv"), "2024-03-01\r\n");
}

TEST(XlsxCells, RowsAsTheSheetNumbersThem) {
    const struct {
        const char* what;
        std::string rows;
        std::string table;
    } cases[] = {
        {"rows left out in between are empty rows",
         R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="4"><c r="A4"><v>4</v></c></row>)", "1\r\n\r\n\r\n4\r\n"},
        {"leading empty rows stay, so the rows keep their numbers",
         R"(<row r="3"><c r="A3"><v>3</v></c></row>)", "\r\n\r\n3\r\n"},
        {"wholly empty rows at the end are not rows",
         R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="2"><c r="A2" s="1"/></row><row r="3"/><row r="9"><c r="B9" t="inlineStr"><is><t></t></is></c></row>)",
         "1\r\n"},
        {"rows without numbers follow each other",
         R"(<row><c><v>1</v></c></row><row><c><v>2</v></c></row>)", "1\r\n2\r\n"},
        {"the first line spans the widest row",
         R"(<row r="1"><c r="A1" t="inlineStr"><is><t>title</t></is></c></row><row r="2"><c r="A2"><v>1</v></c><c r="C2"><v>3</v></c></row>)",
         "title,,\r\n1,,3\r\n"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        writeXlsx(dir / "rows.xlsx", c.rows, "", kStyles);
        EXPECT_EQ(tableCopyOf(dir / "rows.xlsx", dir / "rows.csv"), c.table) << c.what;
    }
}

TEST(XlsxCells, TheFirstLineHasTheSheetsWidthWhateverItsStatedDimension) {
    const std::string rows =
        R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="2"><c r="A2"><v>2</v></c><c r="C2"><v>3</v></c></row>)";
    for (const std::string dimension : {"", "<dimension ref=\"A1:C2\"/>", "<dimension ref=\"A1:Z2\"/>",
                                        "<dimension ref=\"A1\"/>", "<dimension ref=\"A1:XFD1048576\"/>"}) {
        TempDir dir;
        XlsxParts parts;
        parts.sheets.push_back({"S", worksheetXml(rows, dimension)});
        writeXlsx(dir / "dim.xlsx", parts);
        EXPECT_EQ(tableCopyOf(dir / "dim.xlsx", dir / "dim.csv"), "1,,\r\n2,,3\r\n") << dimension;
        EXPECT_EQ(listNames(dir.path()), (std::vector<std::string>{"dim.csv", "dim.xlsx"})) << "no part file left";
    }
}

TEST(XlsxSheets, ListedInWorkbookOrderWithWhetherTheyHoldData) {
    TempDir dir;
    XlsxParts parts;
    parts.sheets.push_back({"空白", worksheetXml(R"(<row r="1"><c r="A1" s="0"/></row>)")});
    parts.sheets.push_back({"隐藏", worksheetXml(R"(<row r="1"><c r="A1"><v>0</v></c></row>)"), true});
    parts.sheets.push_back({"名单", worksheetXml(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>a@b.cn</t></is></c></row>)")});
    parts.sheets.push_back({"2", worksheetXml(R"(<row r="1"><c r="A1"><v>2</v></c></row>)")});
    writeXlsx(dir / "book.xlsx", parts);

    auto book = workbook::Workbook::open(dir / "book.xlsx");
    ASSERT_EQ(book->sheets().size(), 4u);
    const std::pair<const char*, bool> expected[] = {{"空白", false}, {"隐藏", true}, {"名单", true}, {"2", true}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(book->sheets()[i].name, expected[i].first);
        EXPECT_EQ(book->sheets()[i].holdsData, expected[i].second) << i;
    }
    EXPECT_TRUE(book->sheets()[1].hidden);
    // The first visible sheet that holds data; a name before a number.
    EXPECT_EQ(book->defaultSheet(), 2u);
    EXPECT_EQ(book->findSheet("名单"), 2u);
    EXPECT_EQ(book->findSheet("1"), 0u);
    EXPECT_EQ(book->findSheet("2"), 3u);
    EXPECT_EQ(tableCopyOf(dir / "book.xlsx", dir / "s.csv", "隐藏"), "0\r\n");
    EXPECT_EQ(tableCopyOf(dir / "book.xlsx", dir / "s.csv", "3"), "a@b.cn\r\n");
}
