#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "source/source_statements.h"

namespace {

TEST(ConnectionStrings, PreviewByteForByte) {
    EXPECT_EQ(source::previewConnectionString("/data/mail", "Yes", "CSVDelimited"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/mail;"
              "Extended Properties=\"Text;HDR=Yes;IMEX=1;FMT=CSVDelimited\"");
    EXPECT_EQ(source::previewConnectionString("/", "No", "Delimited( )"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/;"
              "Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited( )\"");
    EXPECT_EQ(source::previewConnectionString("/d", "No", "Delimited(;)"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d;"
              "Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited(;)\"");
}

TEST(ConnectionStrings, CsvConnectionIgnoresTheOptions) {
    EXPECT_EQ(source::csvConnectionString("/data/mail"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/mail;"
              "Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited\"");
    const std::string dataDir = "/数据";
    EXPECT_EQ(source::csvConnectionString(dataDir),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dataDir +
                  ";Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited\"");
}

TEST(SourceStatements, RowCount) {
    EXPECT_EQ(source::rowCountStatement("email", "list.csv"),
              "select count([email]) as rcount from [list.csv]");
    EXPECT_EQ(source::rowCountStatement("F1", std::string("名单.txt")),
              "select count([F1]) as rcount from [" + std::string("名单.txt") + "]");
}

TEST(SourceStatements, PreviewAppendsTheConditionUnchanged) {
    EXPECT_EQ(source::previewStatement("list.csv", ""), "select top 200 * from [list.csv]");
    EXPECT_EQ(source::previewStatement("list.csv", " where [a] is null"),
              "select top 200 * from [list.csv] where [a] is null");
}

TEST(SourceStatements, FileNameHoldingAClosingBracket) {
    EXPECT_EQ(source::previewStatement("l]st.csv", ""), "select top 200 * from [l]]st.csv]");
    EXPECT_EQ(source::rowCountStatement("email", "l]st.csv"), "select count([email]) as rcount from [l]]st.csv]");
}

}  // namespace
