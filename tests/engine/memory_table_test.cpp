// Tables held in memory read as the same bytes in a file do, by one thread
// and by two, and as the plain reference reading says.
#include <gtest/gtest.h>

#include "engine/executor.h"
#include "engine_test_support.h"
#include "query_rows.h"
#include "reference_csv.h"

namespace {

using namespace enginetest;

using Rows = testsupport::QueryRows;
const auto runContext = testsupport::runQuery;

struct TableCase {
    std::string label;
    std::string bytes;
};

TEST(MemoryTables, ReadAsFilesAndAsTheReferenceReads) {
    const TableCase cases[] = {
        {"plain", "email,n\r\na@b.c,1\r\nx@y.z,2\r\n"},
        {"no line end at the end", "a,b\nc,d"},
        {"ragged", "a,b,c\n1\n1,2,3,4\n\n,\n"},
        {"quotes", "\"a,\"\"b\",c\r\n\"multi\nline\"x,\"\"\r\n\"tail\"  \r\n"},
        {"carriage returns", "a\r\r\nb\rc\r\n\r\n\"q\r\"\r\n"},
        {"trail bytes", "\x81@\x81[,\x81]\r\n\xD5\xC5,\x81\\\r\n"},
        {"empty", ""},
        {"only a line feed", "\n"},
        {"separator at the end", "a,"},
    };
    const char separators[] = {',', ';', '\t', ' '};
    testsupport::TempDir dir;
    for (const auto& c : cases) {
        for (char separator : separators) {
            for (bool header : {true, false}) {
                std::string bytes = c.bytes;
                for (char& b : bytes)
                    if (b == ',') b = separator;
                dir.write("t.csv", bytes);
                engine::QueryContext files;
                files.dataSource = dir.path();
                files.defaults.header = header;
                files.defaults.separator = separator;
                engine::QueryContext memory = files;
                memory.dataSource = dir.path() + "/none";
                memory.memoryTables.push_back({"T.CSV", bytes, files.defaults});
                engine::QueryContext twoThreads = memory;
                twoThreads.parallelMinimum = 1;
                const std::string sql = "select * from [t.csv]";
                const std::string label = c.label + " separator " + std::to_string(separator) + (header ? " header" : "");
                const Rows fromFile = runContext(files, sql);
                EXPECT_EQ(runContext(memory, sql), fromFile) << label;
                EXPECT_EQ(runContext(twoThreads, sql), fromFile) << label;

                const auto reference = testsupport::referenceSelectAll(bytes, separator, header);
                if (reference.unterminatedQuote) {
                    EXPECT_NE(fromFile.error.value_or("").find("Unterminated quoted field"), std::string::npos) << label;
                    continue;
                }
                EXPECT_EQ(fromFile.error.value_or(""), "") << label;
                EXPECT_EQ(fromFile.names, reference.names) << label;
                EXPECT_EQ(fromFile.rows, reference.rows) << label;
            }
        }
    }
}

TEST(MemoryTables, JoinAFileWithAMemoryTable) {
    testsupport::TempDir dir;
    dir.write("a.csv", "a@b.c\nx@y.z\n");
    engine::QueryContext context;
    context.dataSource = dir.path();
    context.defaults.header = false;
    const std::string ex = "x@y.z\n";
    context.memoryTables.push_back({"ex.csv", ex, context.defaults});
    const Rows r = runContext(context, "select A.F1 from [a.csv] as A inner join [ex.csv] as B on A.F1=B.F1");
    EXPECT_EQ(r.error.value_or(""), "");
    EXPECT_EQ(r.rows, (std::vector<std::vector<Rows::Cell>>{{Rows::Cell("x@y.z")}}));
}

}  // namespace
