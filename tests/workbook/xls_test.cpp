// .xls workbooks (written by xlwt) read through FreeXL into the same table
// copy as an .xlsx: numbers, dates, texts with separators, several sheets.
#include <gtest/gtest.h>

#include "workbook_test_support.h"

using namespace testsupport;
using workbook::Refusal;

TEST(XlsBooks, CellsSheetsAndTheDefaultSheet) {
    TempDir dir;
    ASSERT_EQ(runPython(std::string(MAKE_WORKBOOKS_SCRIPT) + " cells " + (dir / "名单.xls")), 0);
    auto book = workbook::Workbook::open(dir / "名单.xls");
    ASSERT_EQ(book->sheets().size(), 3u);
    EXPECT_EQ(book->sheets()[0].name, "名单");
    EXPECT_EQ(book->sheets()[1].name, "空表");
    EXPECT_FALSE(book->sheets()[1].holdsData);
    EXPECT_EQ(book->defaultSheet(), 0u);
    // FreeXL reports a boolean as the whole number it is stored as.
    EXPECT_EQ(tableCopyOf(dir / "名单.xls", dir / "t.csv"),
              "email,phone,amount,joined,seen,vip,note\r\n"
              "zhang@qq.com,13800138000,3.5,2024-03-01,2024-03-01 08:30:00,1,\"a,b\"\r\n"
              "li@163.com,42,-0.25,1999-12-31,2024-03-01,0,\"say \"\"hi\"\"\"\r\n"
              "张三😀@qq.com,,,,,,\"two\nlines\"\r\n"
              "\r\n"
              "wang@sina.com\r\n");
    EXPECT_EQ(tableCopyOf(dir / "名单.xls", dir / "t.csv", "Data2"), "only@second.com\r\n");
    const auto empty = refusalOf(dir / "名单.xls", dir / "t.csv", "空表");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->refusal(), Refusal::NoData);
}

TEST(XlsBooks, EncryptedAndDamagedWorkbooks) {
    TempDir dir;
    ASSERT_EQ(runPython(std::string(MAKE_WORKBOOKS_SCRIPT) + " obfuscated " + (dir / "locked.xls")), 0);
    auto refused = refusalOf(dir / "locked.xls", dir / "t.csv");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->refusal(), Refusal::Encrypted) << refused->what();

    ASSERT_EQ(runPython(std::string(MAKE_WORKBOOKS_SCRIPT) + " cells " + (dir / "whole.xls")), 0);
    const std::string bytes = readBytes(dir / "whole.xls");
    dir.write("cut.xls", bytes.substr(0, bytes.size() / 2));
    refused = refusalOf(dir / "cut.xls", dir / "t.csv");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->refusal(), Refusal::Damaged) << refused->what();
    EXPECT_FALSE(std::filesystem::exists(dir / "t.csv"));
}
