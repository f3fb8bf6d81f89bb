// Workbooks as a spreadsheet library writes them (libxlsxwriter): shared
// strings, or inline strings in its constant-memory mode, number formats,
// formulas with their results, several sheets.
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include "workbook_test_support.h"

using namespace testsupport;

namespace {

// Writes the same sheets with shared strings or, constant memory, inline ones.
void writeBook(const std::string& path, bool constantMemory) {
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    ASSERT_NE(book, nullptr);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format* stamp = workbook_add_format(book);
    format_set_num_format(stamp, "yyyy\"年\"m\"月\"d\"日\" hh:mm");
    lxw_format* money = workbook_add_format(book);
    format_set_num_format(money, "0.00");

    lxw_worksheet* empty = workbook_add_worksheet(book, "说明");
    (void)empty;
    lxw_worksheet* list = workbook_add_worksheet(book, "名单");
    const char* header[] = {"email", "phone", "amount", "joined", "seen", "vip", "sum", "note"};
    for (lxw_col_t c = 0; c < 8; ++c) worksheet_write_string(list, 0, c, header[c], nullptr);
    worksheet_write_string(list, 1, 0, "Zhang@QQ.com", nullptr);
    worksheet_write_number(list, 1, 1, 13800138000.0, nullptr);
    worksheet_write_number(list, 1, 2, 3.5, money);
    lxw_datetime joined = {2024, 3, 1, 0, 0, 0};
    worksheet_write_datetime(list, 1, 3, &joined, date);
    lxw_datetime seen = {2024, 3, 1, 8, 30, 0};
    worksheet_write_datetime(list, 1, 4, &seen, stamp);
    worksheet_write_boolean(list, 1, 5, 1, nullptr);
    worksheet_write_formula_num(list, 1, 6, "=B2+C2", nullptr, 13800138003.5);
    worksheet_write_string(list, 1, 7, "a,b \"c\"\nd", nullptr);
    worksheet_write_string(list, 2, 0, "张三😀@qq.com", nullptr);
    worksheet_write_boolean(list, 2, 5, 0, nullptr);
    worksheet_write_formula_str(list, 2, 6, "=A3&\"!\"", nullptr, "张三😀@qq.com!");
    worksheet_write_blank(list, 3, 2, money);  // a formatted empty cell: not data
    lxw_worksheet* hidden = workbook_add_worksheet(book, "Hidden");
    worksheet_write_string(hidden, 0, 0, "hidden@qq.com", nullptr);
    worksheet_hide(hidden);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
}

const std::string kList =
    "email,phone,amount,joined,seen,vip,sum,note\r\n"
    "Zhang@QQ.com,13800138000,3.5,2024-03-01,2024-03-01 08:30:00,TRUE,13800138003.5,\"a,b \"\"c\"\"\nd\"\r\n"
    "张三😀@qq.com,,,,,FALSE,张三😀@qq.com!\r\n";

}  // namespace

TEST(XlsxWriterBooks, SharedAndInlineStringsGiveTheSameTable) {
    for (const bool constantMemory : {false, true}) {
        SCOPED_TRACE(constantMemory ? "inline strings" : "shared strings");
        TempDir dir;
        writeBook(dir / "list.xlsx", constantMemory);
        auto book = workbook::Workbook::open(dir / "list.xlsx");
        ASSERT_EQ(book->sheets().size(), 3u);
        EXPECT_FALSE(book->sheets()[0].holdsData);
        EXPECT_TRUE(book->sheets()[1].holdsData);
        EXPECT_TRUE(book->sheets()[2].hidden);
        EXPECT_EQ(book->defaultSheet(), 1u);
        EXPECT_EQ(tableCopyOf(dir / "list.xlsx", dir / "list.csv"), kList);
        EXPECT_EQ(tableCopyOf(dir / "list.xlsx", dir / "list.csv", "Hidden"), "hidden@qq.com\r\n");
    }
}
