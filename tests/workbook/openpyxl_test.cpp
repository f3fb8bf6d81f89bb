// A workbook as Python's openpyxl writes it: inline strings, dates as
// numbers with a date format, a formula without a cached value, a stated
// dimension wider than the cells that hold values.
#include <gtest/gtest.h>

#include "workbook_test_support.h"

using namespace testsupport;

TEST(OpenpyxlBooks, CellsAsTheSpreadsheetShowsThem) {
    TempDir dir;
    ASSERT_EQ(runPython(std::string(MAKE_WORKBOOKS_SCRIPT) + " openpyxl " + (dir / "名单.xlsx")), 0);
    auto book = workbook::Workbook::open(dir / "名单.xlsx");
    ASSERT_EQ(book->sheets().size(), 2u);
    EXPECT_FALSE(book->sheets()[1].holdsData);
    EXPECT_EQ(tableCopyOf(dir / "名单.xlsx", dir / "t.csv"),
              "email,phone,joined,seen,vip,note\r\n"
              "Zhang@QQ.com,13800138000,2024-03-01,2024-03-01 08:30:00,TRUE,\"a,b\n\"\"c\"\"\"\r\n"
              "张三😀@qq.com,3.5,,,FALSE\r\n");
}
