// Statements run as a batch give exactly what each gives alone: the same
// names, rows, order and failures, whether they share a scan or not.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

using namespace enginetest;

// Each outcome as text: the names, rows and rows matched, or "failed: " and the message.
std::string describe(engine::ResultSet& rs) {
    std::string out;
    for (const auto& name : rs.columnNames()) out += name + "|";
    out += "\n";
    for (rs.first(); !rs.eof(); rs.next()) {
        for (std::size_t c = 0; c < rs.columnNames().size(); ++c) {
            const auto v = rs.value(c);
            out += v ? "'" + std::string(*v) + "'" : std::string("<null>");
            out += ";";
        }
        out += "\n";
    }
    return out + std::to_string(rs.recordCount()) + " rows, " + std::to_string(rs.rowsMatched()) + " matched";
}

std::string alone(engine::Connection& conn, const std::string& sql) {
    engine::ResultSet rs;
    try {
        rs.open(conn, sql);
    } catch (const engine::Error& e) {
        return std::string("failed: ") + e.what();
    }
    return describe(rs);
}

std::vector<std::string> batched(engine::Connection& conn, const std::vector<std::string>& sqls) {
    engine::ResultBatch batch;
    batch.open(conn, sqls);
    EXPECT_EQ(batch.size(), sqls.size());
    std::vector<std::string> out;
    for (std::size_t i = 0; i < sqls.size(); ++i) {
        engine::ResultSet rs;
        try {
            batch.take(i, rs);
        } catch (const engine::Error& e) {
            out.push_back(std::string("failed: ") + e.what());
            EXPECT_FALSE(rs.isOpen());
            continue;
        }
        out.push_back(describe(rs));
    }
    return out;
}

// Returns how many statements failed.
std::size_t expectSameAsAlone(engine::Connection& conn, const std::vector<std::string>& sqls) {
    const auto together = batched(conn, sqls);
    std::size_t failed = 0;
    for (std::size_t i = 0; i < sqls.size(); ++i) {
        const std::string expected = alone(conn, sqls[i]);
        EXPECT_EQ(together[i], expected) << sqls[i];
        failed += expected.rfind("failed: ", 0) == 0;
    }
    return failed;
}

const std::string kList =
    "email;n\r\n"
    "a1@x.com;1\r\nA2@X.com;2\r\nb1@y.org;3\r\na1@x.com;4\r\n;5\r\nbad;6\r\nc1@z.net;0\r\n"
    "\"q;uoted\"@x.com;7\r\nb2@Y.ORG;8\r\n";

TEST(ResultBatch, EachStatementAsAlone) {
    TempDir dir;
    dir.write("list.csv", kList);
    dir.write("other.csv", "email\r\nb1@y.org\r\nzz@x.com\r\n");
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "Delimited(;)"));
    const std::vector<std::string> sqls = {
        "select * from [list.csv] where [email] like '%@x.com'",
        "select * from [list.csv] where [email] not like '%@x.com' and [email] not like '%@y.org'",
        "select distinct lcase([email]) from [list.csv] where [email] like '%@%.%'",
        "select top 2 * from [list.csv]",                                    // stops early
        "select top 1 [email] from [list.csv] order by [n] desc",
        "select mid(email,instr(email,'@')+1,len(email)) as [domain],count(email) as quantity from [list.csv] "
        "where [email] like '%@%.%' group by mid(email,instr(email,'@')+1,len(email))  order by count(email) desc",
        "select count([email]) as rcount from [list.csv]",
        "select mid([email], [n], 2) from [list.csv]",                         // fails at the row with n = 0
        "select [nosuch] from [list.csv]",                                   // fails before the scan
        "select * from [missing.csv]",
        "select * from [other.csv]",                                         // another table: a scan of its own
        "select A.[email] from [list.csv] as A inner join [other.csv] as B on A.[email] = B.[email]",
        "select * from [list.csv] where [email] like '%@z.net'",
        "select * from [list.csv] where [email] like '%@none.cn'",            // no rows
    };
    EXPECT_EQ(expectSameAsAlone(conn, sqls), 3u);
}

TEST(ResultBatch, TakenOnceAndClosedOnFailure) {
    TempDir dir;
    dir.write("list.csv", kList);
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "Delimited(;)"));
    engine::ResultBatch batch;
    batch.open(conn, {"select * from [list.csv]", "select [nosuch] from [list.csv]"});
    engine::ResultSet rs;
    batch.take(0, rs);
    EXPECT_EQ(rs.recordCount(), 9u);
    EXPECT_THROW(batch.take(1, rs), engine::Error);
    EXPECT_FALSE(rs.isOpen());
    EXPECT_THROW(batch.take(0, rs), engine::Error);
    EXPECT_THROW(batch.take(2, rs), engine::Error);

    engine::Connection closed;
    EXPECT_THROW(batch.open(closed, {"select * from [list.csv]"}), engine::Error);
}

// A file large enough to be read by two threads: each part's rows, merged in
// file order, and a failure in the second part, as a scan of its own gives them.
TEST(ResultBatch, TwoThreadScanAsAlone) {
    TempDir dir;
    std::string bytes = "email;n;note\r\n";
    const char* domains[] = {"x.com", "Y.org", "z.net", "qq.com", "163.com"};
    for (int i = 0; i < 420000; ++i)
        bytes += "user" + std::to_string(i % 9973) + "@" + domains[i % 5] + ";" +
                 std::to_string(i == 400000 ? 0 : 1 + i % 7) + ";a note that makes the line longer\r\n";
    ASSERT_GT(bytes.size(), 17u << 20);
    dir.write("big.csv", bytes);
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "Delimited(;)"));
    EXPECT_EQ(expectSameAsAlone(conn, {
                                "select * from [big.csv] where [email] like '%@x.com' or [email] like '%@y.org'",
                                "select * from [big.csv] where [email] not like '%@x.com' and [email] not like "
                                "'%@y.org'",
                                "select distinct lcase([email]) from [big.csv] where [n] > 5",
                                "select mid([email], [n], 2) from [big.csv]",
                                "select [n], count([email]) as c from [big.csv] group by [n] order by count([email]) desc",
                            }),
              1u);
}

}  // namespace
