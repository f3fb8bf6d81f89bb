// Statements written to files as a batch give the files, and the failures,
// that running them one by one gives, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/file_steps.h"
#include "export_fixture.h"

using namespace exporting;
using testing_files::exists;
using testing_files::readFile;

namespace {

const std::string kSource =
    "email;n\r\na1@x.com;1\r\nA2@X.com;2\r\n\"b\"\"1\"@y.org;3\r\n;4\r\nc1@z.net;0\r\n\xCD\xF5@qq.com;5\r\n";

}  // namespace

class BatchIntoFiles : public ExportFixture {};

TEST_F(BatchIntoFiles, SameFilesAndFailuresAsOneByOne) {
    bind("list.csv", kSource, true, "Delimited(;)");
    // A folder in the way: the file cannot be created.
    std::filesystem::create_directory(dir / "alone-blocked.csv");
    std::filesystem::create_directory(dir / "batch-blocked.csv");
    const std::vector<std::pair<std::string, std::string>> statements = {
        {"select * from [list.csv] where [email] like '%@x.com'", "x.csv"},
        {"select * from [list.csv] where [email] not like '%@x.com'", "rest.csv"},
        {"select * from [list.csv] where [email] like '%@none.cn'", "none.csv"},   // no rows: no file
        {"select mid([email], [n], 1) from [list.csv]", "mid.csv"},                 // fails at n = 0
        {"select * from [list.csv] where [email] like '%@y.org'", "blocked.csv"},  // write fails
        {"select [email], [n] from [list.csv] where [n] > 2", "n.csv"},
    };
    std::vector<StatementIntoFile> jobs;
    std::vector<std::string> aloneMessages;
    std::vector<StatementRun> aloneRuns;
    for (const auto& [sql, name] : statements) {
        jobs.push_back({sql, dir / ("batch-" + name), ""});
        try {
            aloneRuns.push_back(RunIntoFile(*ctx, preview, sql, dir / ("alone-" + name)));
            aloneMessages.push_back("");
        } catch (const std::exception& e) {
            aloneRuns.push_back({});
            aloneMessages.push_back(e.what());
        }
    }
    std::vector<std::string> batchMessages;
    RunBatchIntoFiles(*ctx, preview, jobs, [&](std::size_t i, const std::exception* failure, const StatementRun& run) {
        EXPECT_EQ(i, batchMessages.size());
        batchMessages.push_back(failure ? failure->what() : "");
        if (!failure) {
            EXPECT_EQ(run.rows, aloneRuns[i].rows) << i;
            EXPECT_EQ(run.matched, aloneRuns[i].matched) << i;
        }
    });
    EXPECT_FALSE(result.isOpen());
    ASSERT_EQ(batchMessages.size(), statements.size());
    for (std::size_t i = 0; i < statements.size(); ++i) {
        const std::string& name = statements[i].second;
        if (name == "blocked.csv") {
            EXPECT_NE(batchMessages[i].find("batch-blocked.csv"), std::string::npos);
            EXPECT_NE(aloneMessages[i].find("alone-blocked.csv"), std::string::npos);
            continue;
        }
        EXPECT_EQ(batchMessages[i], aloneMessages[i]) << name;
        ASSERT_EQ(exists(dir / ("batch-" + name)), exists(dir / ("alone-" + name))) << name;
        if (exists(dir / ("alone-" + name)))
            EXPECT_EQ(readFile(dir / ("batch-" + name)), readFile(dir / ("alone-" + name))) << name;
    }
    EXPECT_FALSE(exists(dir / "batch-none.csv"));
    EXPECT_FALSE(aloneMessages[3].empty());
    EXPECT_EQ(readFile(dir / "batch-x.csv"), "\"a1@x.com\";\"1\"\r\n\"A2@X.com\";\"2\"");
}
