// How files are read: quoting, line ends, ragged rows, empty files, long
// lines, and the errors for broken input.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

using namespace enginetest;

struct ReadCase {
    std::string name;
    std::string bytes;
    std::vector<std::string> firstColumn;  // F1 of every row, nulls as <null>
};

class ReadCases : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadCases, FirstColumnReadsBack) {
    TempDir dir;
    dir.write("t.csv", GetParam().bytes);
    auto r = run(dir.path(), "select F1 from [t.csv]", "No", "Delimited(;)");
    EXPECT_EQ(column(r), GetParam().firstColumn);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadCases,
    ::testing::Values(
        ReadCase{"CrLf", "a;1\r\nb;2\r\n", {"a", "b"}},
        ReadCase{"Lf", "a;1\nb;2\n", {"a", "b"}},
        ReadCase{"NoFinalLineEnd", "a;1\r\nb;2", {"a", "b"}},
        ReadCase{"QuotedSeparator", "\"a;b\";1\r\n", {"a;b"}},
        ReadCase{"QuotedLineBreak", "\"a\r\nb\";1\r\nc;2\r\n", {"a\r\nb", "c"}},
        ReadCase{"DoubledQuotes", "\"ab\"\"xy\";1\r\n", {"ab\"xy"}},
        ReadCase{"QuoteInsideField", "ab\"c;1\r\n", {"ab\"c"}},
        ReadCase{"EmptyIsNull", ";1\r\n\"\";2\r\n", {"<null>", "<null>"}},
        ReadCase{"EmptyLineIsNullRow", "a\r\n\r\nb", {"a", "<null>", "b"}},
        ReadCase{"WriterFormat", "\"x@y.z\"\r\n\"q\"\"r\"", {"x@y.z", "q\"r"}},
        ReadCase{"QuotedLastNoLineEnd", "\"a\"", {"a"}},
        ReadCase{"TrailBytesAtStructure", "\x81\x40;1\r\n\x81\x5B\x81\x5D;2\r\n", {"\x81\x40", "\x81\x5B\x81\x5D"}}),
    [](const auto& info) { return info.param.name; });

TEST(Reading, RaggedRowsGetNullsAndLoseExtras) {
    TempDir dir;
    dir.write("t.csv", "a;b;c\r\n1\r\n1;2;3;4;5\r\n1;2\r\n");
    auto r = run(dir.path(), "select * from [t.csv]");
    EXPECT_EQ(r.names, (std::vector<std::string>{"a", "b", "c"}));
    const Rows expected = {{"1", std::nullopt, std::nullopt}, {"1", "2", "3"}, {"1", "2", std::nullopt}};
    EXPECT_EQ(r.rows, expected);
}

TEST(Reading, HeaderOnlyAndEmptyFiles) {
    TempDir dir;
    dir.write("header.csv", "name;email\r\n");
    dir.write("empty.csv", "");
    auto h = run(dir.path(), "select * from [header.csv]");
    EXPECT_EQ(h.names, (std::vector<std::string>{"name", "email"}));
    EXPECT_TRUE(h.rows.empty());
    auto c = run(dir.path(), "select count([email]) as rcount from [header.csv]");
    EXPECT_EQ(column(c), (std::vector<std::string>{"0"}));
    auto e = run(dir.path(), "select * from [empty.csv]");
    EXPECT_TRUE(e.names.empty());
    EXPECT_TRUE(e.rows.empty());
    // Without a header an empty file still answers for F1 (with no rows).
    auto f = run(dir.path(), "select distinct lcase([F1]) from [empty.csv] where [F1] like '%@%'", "No");
    EXPECT_TRUE(f.rows.empty());
    EXPECT_NE(failure(dir.path(), "select [email] from [empty.csv]").find("Unknown column [email]"), std::string::npos);
}

TEST(Reading, UnterminatedQuoteNamesItsLine) {
    TempDir dir;
    dir.write("t.csv", "h;e\r\nx;a\r\ny;\"open\r\nz;b\r\n");
    const std::string msg = failure(dir.path(), "select count(*) as n from [t.csv]");
    EXPECT_NE(msg.find("Unterminated quoted field starting at line 3"), std::string::npos) << msg;
    EXPECT_NE(msg.find("t.csv"), std::string::npos) << msg;
}

TEST(Reading, OneMegabyteLine) {
    TempDir dir;
    const std::string big(1 << 20, 'x');
    dir.write("t.csv", "a;b\r\n" + big + ";" + big + "@y.z\r\nshort;q@r.s\r\n");
    auto r = run(dir.path(), "select len(a) as la, len(b) as lb from [t.csv]");
    const Rows expected = {{std::to_string(big.size()), std::to_string(big.size() + 4)}, {"5", "5"}};
    EXPECT_EQ(r.rows, expected);
    auto q = run(dir.path(), "select count(b) as n from [t.csv] where b like '%@%.%'");
    EXPECT_EQ(column(q), (std::vector<std::string>{"2"}));
}

TEST(Reading, ManyRowsAcrossBlocks) {
    // More than one read block, with a quoted line break near every block edge.
    TempDir dir;
    std::string bytes = "v\r\n";
    std::size_t rows = 0;
    while (bytes.size() < 20u << 20) {
        bytes += (rows % 97 == 0) ? "\"q\r\n" + std::to_string(rows) + "\"\r\n" : "r" + std::to_string(rows) + "\r\n";
        ++rows;
    }
    dir.write("t.csv", bytes);
    auto r = run(dir.path(), "select count(v) as n from [t.csv]");
    EXPECT_EQ(column(r), (std::vector<std::string>{std::to_string(rows)}));
    auto q = run(dir.path(), "select count(v) as n from [t.csv] where v like 'q%'");
    EXPECT_EQ(column(q), (std::vector<std::string>{std::to_string((rows + 96) / 97)}));
}

}  // namespace
