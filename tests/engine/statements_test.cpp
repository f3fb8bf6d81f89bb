// The statements the tool composes, exactly as composed (blanks included),
// over small GBK files: the row count, the preview with each condition, the
// three classification statements, the exclusion pass, the domain statistics
// and the domain export.
#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "platform/code_page.h"

namespace {

using namespace enginetest;

// The classification of a sample address list.
const std::string kSource =
    "name;email;phone\r\n"
    "\xCD\xF5\xCE\xB0;wang@qq.com;1\r\n"        // valid
    "\xC0\xEE;Li@QQ.com;2\r\n"                  // valid, mixed case
    "x;li@qq.com;3\r\n"                         // duplicate of the above after lcase
    "y;nodomain;4\r\n"                          // invalid: no "@"
    "z;a@b;5\r\n"                               // invalid: no "." after "@"
    "a;sp ace@qq.com;6\r\n"                     // erroneous: blank
    "b;a@.qq.com;7\r\n"                         // erroneous: "@."
    "c;a@@qq.com;8\r\n"                         // erroneous: "@@"
    "d;@qq.com;9\r\n"                           // erroneous: leading "@"
    "e;a@qq..com;10\r\n"                        // erroneous: ".." after "@"
    "f;a@qq.com1;11\r\n"                        // erroneous: ends with a digit
    "g;a@qq.com,;12\r\n"                        // valid: ends with a comma
    "h;;13\r\n"                                 // null: in no class
    "i;\xD5\xC5\x81\x40@163.com;14\r\n"         // valid, GBK local part with trail byte "@"
    "j;\x81\x40qq.com;15\r\n"                   // invalid: the only "@" is a trail byte
    "k;x@163.com;16\r\n";

const std::string kInvalid = "[email] not like '%@%.%'";
const std::string kError =
    "[email] like '%@%.%' and ([email] like '% %' or [email] like '%@.%' or [email] like '%@@%' or [email] like "
    "'[@]%' or [email] like '%@%..%' or [email] not like '%[a-z,A-Z]')";
const std::string kValid =
    "[email] like '%@%.%' and [email] like '%[a-z,A-Z]' and [email] not like '% %' and [email] not like '%@.%' "
    "and [email] not like '%@@%' and [email] not like '[@]%' and [email] not like '%@%..%'";

class Statements : public ::testing::Test {
protected:
    void SetUp() override {
        source_ = platform::gbk("地址.csv");
        dir_.write("地址.csv", kSource);
        dir_.write("Schema.ini", platform::gbk("[地址.csv]") + "\r\nColNameHeader=True\r\nFormat=Delimited(;)\r\n");
        preview_.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir_.path() +
                      ";Extended Properties=\"Text;HDR=Yes;IMEX=1;FMT=Delimited(;)\"");
        csv_.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir_.path() +
                  ";Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited\"");
    }
    TempDir dir_;
    std::string source_;
    engine::Connection preview_, csv_;
};

TEST_F(Statements, RowCountAndPreview) {
    auto count = run(preview_, "select count([email]) as rcount from [" + source_ + "]");
    EXPECT_EQ(count.names, (std::vector<std::string>{"rcount"}));
    EXPECT_EQ(column(count), (std::vector<std::string>{"15"}));
    auto preview = run(preview_, "select top 200 * from [" + source_ + "]");
    EXPECT_EQ(preview.names, (std::vector<std::string>{"name", "email", "phone"}));
    EXPECT_EQ(preview.rows.size(), 16u);
    EXPECT_EQ(preview.rows[0][0].value(), "\xCD\xF5\xCE\xB0");
    auto top2 = run(preview_, "select top 200 * from [" + source_ + "] where " + kInvalid);
    EXPECT_EQ(column(top2, 1), (std::vector<std::string>{"nodomain", "a@b", "\x81\x40qq.com"}));
}

TEST_F(Statements, PreviewConditions) {
    struct Case {
        std::string condition;
        std::vector<std::string> emails;
    };
    const Case cases[] = {
        {kInvalid, {"nodomain", "a@b", "\x81\x40qq.com"}},
        {kError, {"sp ace@qq.com", "a@.qq.com", "a@@qq.com", "@qq.com", "a@qq..com", "a@qq.com1"}},
        {"InStr([email],'@')-1>3", {"wang@qq.com", "sp ace@qq.com"}},
        {"InStr([email],'@')-1<2", {"nodomain", "a@b", "a@.qq.com", "a@@qq.com", "@qq.com", "a@qq..com", "a@qq.com1", "a@qq.com,",
                                    "\x81\x40qq.com", "x@163.com"}},
        {"([email] like 'li@%.%' or  [email] like 'x@%.%')", {"Li@QQ.com", "li@qq.com", "x@163.com"}},
        {"([email] like '%@163.com' or  [email] like '%@b')", {"a@b", "\xD5\xC5\x81\x40@163.com", "x@163.com"}},
        {"([email] like '@%.%')", {"@qq.com"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        auto r = run(preview_, "select top 200 * from [" + source_ + "] where " + c.condition);
        EXPECT_EQ(column(r, 1), c.emails);
    }
}

TEST_F(Statements, ClassificationIsDistinctLowerCaseAndDisjoint) {
    const std::string head = "select distinct lcase([email]) from [" + source_ + "] where ";
    EXPECT_EQ(column(run(preview_, head + kInvalid)), (std::vector<std::string>{"nodomain", "a@b", "\x81\x40qq.com"}));
    EXPECT_EQ(column(run(preview_, head + kError)),
              (std::vector<std::string>{"sp ace@qq.com", "a@.qq.com", "a@@qq.com", "@qq.com", "a@qq..com", "a@qq.com1"}));
    EXPECT_EQ(column(run(preview_, head + kValid)),
              (std::vector<std::string>{"wang@qq.com", "li@qq.com", "a@qq.com,", "\xD5\xC5\x81\x40@163.com", "x@163.com"}));
}

// The values each class statement read, duplicates included: together every
// non-null address once (the null of row h is in no class).
TEST_F(Statements, RowsMatchedCountTheValuesReadBeforeDistinct) {
    const std::string head = "select distinct lcase([email]) from [" + source_ + "] where ";
    const struct {
        const std::string& condition;
        std::size_t distinct;
        std::uint64_t matched;
    } cases[] = {{kInvalid, 3, 3}, {kError, 6, 6}, {kValid, 5, 6}};
    for (const auto& c : cases) {
        engine::ResultSet rs;
        rs.open(preview_, head + c.condition);
        EXPECT_EQ(rs.recordCount(), c.distinct) << c.condition;
        EXPECT_EQ(rs.rowsMatched(), c.matched) << c.condition;
        rs.close();
        EXPECT_EQ(rs.rowsMatched(), 0u);
    }
}

// A file large enough for the two-thread scan: both halves are counted.
TEST(RowsMatched, BothScanningThreadsAreCounted) {
    TempDir dir;
    std::string text;
    text.reserve(24u << 20);
    std::size_t invalid = 0, valid = 0;
    for (int i = 0; text.size() < (20u << 20); ++i) {
        if (i % 4 == 0) {
            text += "noaddress" + std::to_string(i) + "\r\n";
            ++invalid;
        } else {
            text += "User" + std::to_string(i / 2) + "@Example.com\r\n";  // each twice, in two spellings
            ++valid;
        }
    }
    dir.write("big.csv", text);
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "No", "Delimited"));
    engine::ResultSet rs;
    rs.open(conn, "select distinct lcase([F1]) from [big.csv] where [F1] like '%@%.%'");
    EXPECT_EQ(rs.rowsMatched(), valid);
    EXPECT_LT(rs.recordCount(), valid);
    rs.open(conn, "select [F1] from [big.csv] where [F1] not like '%@%.%'");
    EXPECT_EQ(rs.rowsMatched(), invalid);
    EXPECT_EQ(rs.recordCount(), invalid);
}

// A stop asked between two progress reports: within a block of the scan, and
// after the scan while the distinct step puts its values in file order.
TEST(StopRequested, StopsTheStatementBetweenBlocksAndAfterTheScan) {
    // The whole file is read as one block (reported as read == total), its
    // rows are taken, then the scan's end is reported again.
    class Observer : public engine::ScanObserver {
    public:
        bool progress(std::uint64_t read, std::uint64_t total) override {
            if (read == total) ++ends;
            return true;  // never stops here
        }
        bool stopRequested() const override { return always || (afterScan && ends >= 2); }
        bool always = false, afterScan = false;
        int ends = 0;
    };
    TempDir dir;
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "someone" + std::to_string(i) + "@example.com\r\n";  // 5 MB: one block
    dir.write("list.csv", text);
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "No", "Delimited"));
    const std::string sql = "select distinct lcase([F1]) from [list.csv]";
    for (const bool afterScan : {false, true}) {
        Observer observer;
        observer.always = !afterScan;
        observer.afterScan = afterScan;
        engine::ResultSet rs;
        try {
            rs.open(conn, sql, &observer);
            ADD_FAILURE() << "not stopped";
        } catch (const engine::Error& e) {
            EXPECT_STREQ(e.what(), "The statement was cancelled.");
        }
        EXPECT_EQ(observer.ends, afterScan ? 2 : 1);  // stopped within the one block, or after the scan
        EXPECT_FALSE(rs.isOpen());
    }
    Observer quiet;
    engine::ResultSet rs;
    rs.open(conn, sql, &quiet);
    EXPECT_EQ(rs.recordCount(), 200000u);
}

// A join's right-hand table read in one block is indexed with progress
// reports (and so stop checks) every 65536 rows: a large exclusion file can
// be stopped while it is indexed, before the left table is read.
TEST(StopRequested, AJoinTableIsStoppedWhileItIsIndexed) {
    class Observer : public engine::ScanObserver {
    public:
        explicit Observer(std::uint64_t rightSize, bool stop) : rightSize_(rightSize), stop_(stop) {}
        bool progress(std::uint64_t read, std::uint64_t total) override {
            if (total != rightSize_ || read >= total) return true;
            EXPECT_GT(read, lastInBlock);
            lastInBlock = read;
            ++inBlock;
            return !stop_;
        }
        int inBlock = 0;
        std::uint64_t lastInBlock = 0;

    private:
        std::uint64_t rightSize_;
        bool stop_;
    };
    TempDir dir;
    std::string excl;
    for (int i = 0; i < 200000; ++i) excl += "someone" + std::to_string(i) + "@example.com\r\n";  // 5 MB: one block
    dir.write("excl.csv", excl);
    dir.write("a.csv", "someone7@example.com\r\nnobody@example.com\r\n");
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "No", "Delimited"));
    const std::string sql = "select A.[F1] from [a.csv] as A inner join [excl.csv] as B on A.[F1]=B.[F1]";

    Observer watching(excl.size(), false);
    engine::ResultSet rs;
    rs.open(conn, sql, &watching);
    EXPECT_EQ(watching.inBlock, 3);  // rows 65536, 131072 and 196608
    EXPECT_EQ(rs.recordCount(), 1u);
    rs.close();

    Observer stopping(excl.size(), true);
    try {
        rs.open(conn, sql, &stopping);
        ADD_FAILURE() << "not stopped";
    } catch (const engine::Error& e) {
        EXPECT_STREQ(e.what(), "The statement was cancelled.");
    }
    EXPECT_EQ(stopping.inBlock, 1);
    EXPECT_FALSE(rs.isOpen());
}

TEST_F(Statements, ExclusionPassOverIntermediateFiles) {
    // The intermediate file as the CSV writer leaves it: quoted, CRLF between lines, none after the last.
    dir_.write("addr-Temp.csv", "\"wang@qq.com\"\r\n\"li@qq.com\"\r\n\"abcdefghijk@qq.com\"\r\n\"x@163.com\"");
    dir_.write("excl.txt", "LI@qq.com\r\nli@qq.com\r\nnobody@x.y\r\n");
    const std::string head = "select A.[F1] from [addr-Temp.csv] as A";
    struct Case {
        std::string tail;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {" inner join [excl.txt] as B on A.[F1]=B.[F1]", {"li@qq.com", "li@qq.com"}},
        {" left join [excl.txt] as B on A.[F1]=B.[F1] where B.[F1] is null", {"wang@qq.com", "abcdefghijk@qq.com", "x@163.com"}},
        {" where InStr([F1],'@')-1>9 or ([F1] like 'wang@%.%' or  [F1] like 'x@%.%')",
         {"wang@qq.com", "abcdefghijk@qq.com", "x@163.com"}},
        {" where InStr([F1],'@')-1<=9 and ([F1] not like 'wang@%.%' and [F1] not like 'x@%.%')", {"li@qq.com"}},
        {" where ([F1] like '%@163.com')", {"x@163.com"}},
        {" where ([F1] not like '%@163.com' and [F1] not like '%@QQ.COM')", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        auto r = run(csv_, head + c.tail);
        EXPECT_EQ(r.names, (std::vector<std::string>{"F1"}));
        EXPECT_EQ(column(r), c.values);
    }
    // The intermediate file named by its full path (another output directory).
    TempDir out;
    out.write("o-Temp.csv", "\"a@b.c\"");
    EXPECT_EQ(column(run(csv_, "select A.[F1] from [" + out.path() + "/o-Temp.csv] as A inner join [excl.txt] as B on "
                               "A.[F1]=B.[F1]")),
              std::vector<std::string>{});
    EXPECT_EQ(column(run(csv_, "select A.[F1] from [" + out.path() + "/o-Temp.csv] as A left join [excl.txt] as B on "
                               "A.[F1]=B.[F1] where B.[F1] is null")),
              std::vector<std::string>{"a@b.c"});
}

TEST_F(Statements, DomainStatisticsTopAndAll) {
    const std::string all =
        "select  mid(email,instr(email,'@')+1,len(email)) as [domain],count(email) as quantity from [" + source_ +
        "] where [email] like '%@%.%' group by mid(email,instr(email,'@')+1,len(email))  order by count(email) desc";
    auto r = run(preview_, all);
    EXPECT_EQ(r.names, (std::vector<std::string>{"domain", "quantity"}));
    // "@qq.com" has its domain after the first "@"; letter case is ignored and the first spelling shows.
    const Rows expected = {{"qq.com", "5"},  {"163.com", "2"}, {".qq.com", "1"}, {"@qq.com", "1"},
                           {"qq..com", "1"}, {"qq.com1", "1"}, {"qq.com,", "1"}};
    EXPECT_EQ(r.rows, expected);
    const std::string top1 =
        "select top 1 mid(email,instr(email,'@')+1,len(email)) as [domain],count(email) as quantity from [" + source_ +
        "] where [email] like '%@%.%' group by mid(email,instr(email,'@')+1,len(email))  order by count(email) desc";
    EXPECT_EQ(run(preview_, top1).rows, (Rows{{"qq.com", "5"}}));
}

TEST_F(Statements, DomainExportGroupsAndRemainder) {
    dir_.write("addr-Export.csv", "\"wang@qq.com\"\r\n\"li@qq.com\"\r\n\"x@163.com\"\r\n\"y@x.qq.com\"\r\n\"z@sina.com\"");
    // Top-N statistics over the export file, F1 bare in the functions.
    auto stats = run(csv_, "select top 10 mid(F1,instr(F1,'@')+1,len(F1)) as [domain],count(F1) as quantity from "
                           "[addr-Export.csv] where [F1] like '%@%.%' group by mid(F1,instr(F1,'@')+1,len(F1))  order by "
                           "count(F1) desc");
    EXPECT_EQ(column(stats), (std::vector<std::string>{"qq.com", "163.com", "x.qq.com", "sina.com"}));
    auto group = run(csv_, "select * from [addr-Export.csv] where [F1] like '%@qq.com' or [F1] like '%@163.com'");
    EXPECT_EQ(column(group), (std::vector<std::string>{"wang@qq.com", "li@qq.com", "x@163.com"}));
    auto rest = run(csv_, "select * from [addr-Export.csv] where [F1] not like '%@qq.com' and [F1] not like "
                          "'%@163.com' and [F1] not like '%@QQ.com'");
    EXPECT_EQ(column(rest), (std::vector<std::string>{"y@x.qq.com", "z@sina.com"}));
    // An empty list makes "()", which the engine refuses.
    EXPECT_THROW(run(csv_, "select * from [addr-Export.csv] where ()"), engine::Error);
}

}  // namespace
