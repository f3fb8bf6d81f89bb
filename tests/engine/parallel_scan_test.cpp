// The two-thread scan gives the rows of the one-thread scan, in file order,
// also when a quoted field runs across the cut in the middle of the file.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/parallel_scan.h"
#include "engine/table_source.h"
#include "engine_test_support.h"

namespace {

using namespace enginetest;

class CollectWorker : public engine::ScanWorker {
public:
    bool process(const std::vector<engine::Value>& fields) override {
        values.push_back(fields.empty() || fields[0].isNull() ? "<null>" : std::string(fields[0].view()));
        return true;
    }
    void merge(engine::ScanWorker& later) override {
        auto& other = static_cast<CollectWorker&>(later);
        values.insert(values.end(), other.values.begin(), other.values.end());
    }
    std::vector<std::string> values;
};

std::vector<std::string> scan(const std::string& dir, const std::string& file, bool parallel) {
    engine::TableFormat format;
    format.header = false;
    format.separator = ';';
    auto table = engine::openTable(file, dir, format, engine::CharStepper());
    engine::ScanRequest request;
    request.table = &table;
    request.wanted = 1;
    request.allowParallel = parallel;
    request.parallelMinimum = 0;
    request.makeWorker = [](int, int) { return std::make_unique<CollectWorker>(); };
    auto worker = engine::runScan(request);
    return static_cast<CollectWorker&>(*worker).values;
}

std::string lines(std::size_t from, std::size_t to) {
    std::string s;
    for (std::size_t i = from; i < to; ++i) s += "v" + std::to_string(i) + ";x\r\n";
    return s;
}

TEST(ParallelScan, SameRowsAsOneThread) {
    TempDir dir;
    struct Case {
        std::string name;
        std::string bytes;
    };
    std::string spanning = "\"";
    for (int i = 0; i < 20000; ++i) spanning += "in quote " + std::to_string(i) + "\r\n";
    // The closing quote starts a line: read from inside the field it looks like an unclosed quote.
    spanning += "\";1\r\n";
    const Case cases[] = {
        {"plain", lines(0, 50000)},
        {"noFinalLineEnd", lines(0, 50000) + "last"},
        {"quoteAcrossCut", lines(0, 1000) + spanning + lines(1000, 2000)},
        {"quotedNearCut", lines(0, 20000) + "\"a\r\nb\";1\r\n" + lines(20000, 40000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.write(c.name, c.bytes);
        const auto one = scan(dir.path(), c.name, false);
        const auto two = scan(dir.path(), c.name, true);
        EXPECT_GT(one.size(), 1000u);
        EXPECT_EQ(one, two);
    }
}

TEST(ParallelScan, ErrorInTheSecondHalfNamesItsLine) {
    TempDir dir;
    dir.write("bad.csv", lines(0, 40000) + "\"never closed\r\n" + lines(0, 10));
    try {
        scan(dir.path(), "bad.csv", true);
        FAIL() << "no error";
    } catch (const engine::Error& e) {
        EXPECT_NE(std::string(e.what()).find("starting at line 40001"), std::string::npos) << e.what();
    }
}

}  // namespace

namespace {

class RecordingObserver : public engine::ScanObserver {
public:
    explicit RecordingObserver(std::uint64_t stopAfter) : stopAfter_(stopAfter) {}
    bool progress(std::uint64_t bytesRead, std::uint64_t totalBytes) override {
        ++calls;
        last = bytesRead;
        total = totalBytes;
        return bytesRead < stopAfter_;
    }
    int calls = 0;
    std::uint64_t last = 0, total = 0;

private:
    std::uint64_t stopAfter_;
};

TEST(ScanObserver, LearnsProgressAndCanStopTheStatement) {
    TempDir dir;
    std::string bytes = "v\r\n";
    while (bytes.size() < 20u << 20) bytes += "someone@example.com\r\n";
    dir.write("big.csv", bytes);
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "CSVDelimited"));

    RecordingObserver all(~std::uint64_t{0});
    engine::ResultSet rs;
    rs.open(conn, "select count(v) as n from [big.csv]", &all);
    EXPECT_GT(all.calls, 1);
    EXPECT_EQ(all.total, bytes.size());
    EXPECT_EQ(all.last, bytes.size());

    RecordingObserver early(1);
    try {
        rs.open(conn, "select distinct v from [big.csv]", &early);
        FAIL() << "not stopped";
    } catch (const engine::Error& e) {
        EXPECT_NE(std::string(e.what()).find("cancelled"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(rs.isOpen());
}

}  // namespace

namespace {

// A file large enough for the two-thread scan, whose distinct values and
// groups have their first occurrences spread over both halves, in several
// letter-case spellings.
TEST(ParallelScan, DistinctAndGroupsKeepFileOrderAndFirstSpelling) {
    TempDir dir;
    std::string bytes = "v\r\n";
    std::vector<std::string> firstOrder;
    std::map<std::string, std::size_t> counts;   // by lower-case key
    std::set<std::string> seen;
    std::vector<std::string> lowerKeyOrder;      // lcase of the k... values, first occurrences
    const std::size_t keys = 400000;
    for (std::size_t i = 0; bytes.size() < (20u << 20); ++i) {
        std::string v;
        if (i % 7 == 3) {
            v = "u" + std::to_string(i);                 // unique, anywhere in the file
        } else {
            v = "key" + std::to_string(i % keys);
            if ((i / keys) % 2 == 1) v[0] = 'K';         // another spelling later on
        }
        std::string lower = v;
        lower[0] = static_cast<char>(std::tolower(lower[0]));
        if (seen.insert(lower).second) {
            firstOrder.push_back(v);
            if (lower[0] == 'k') lowerKeyOrder.push_back(lower);
        }
        ++counts[lower];
        bytes += v + "\r\n";
    }
    dir.write("big.csv", bytes);
    auto distinct = run(dir.path(), "select distinct v from [big.csv]", "Yes", "CSVDelimited");
    EXPECT_EQ(column(distinct), firstOrder);

    auto lowered = run(dir.path(), "select distinct lcase(v) from [big.csv] where v like 'k%'", "Yes", "CSVDelimited");
    EXPECT_EQ(lowered.rows.size(), keys);
    EXPECT_EQ(column(lowered), lowerKeyOrder);

    auto groups = run(dir.path(), "select v, count(v) as n from [big.csv] group by v", "Yes", "CSVDelimited");
    ASSERT_EQ(groups.rows.size(), firstOrder.size());
    for (std::size_t g = 0; g < firstOrder.size(); g += 997) {
        std::string lower = firstOrder[g];
        lower[0] = static_cast<char>(std::tolower(lower[0]));
        EXPECT_EQ(groups.rows[g][0].value(), firstOrder[g]);
        EXPECT_EQ(groups.rows[g][1].value(), std::to_string(counts[lower]));
    }
}

}  // namespace
