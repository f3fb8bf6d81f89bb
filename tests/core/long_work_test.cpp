// Long work through the operations core: the summary of an export, worked
// out by hand over a list with every class; the progress (steps in words, a
// share that only grows); cancelling at each step, which leaves the files
// completed before it, removes the one being written, keeps an earlier file
// of that name, and ends with "操作已取消。" alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/workspace.h"
#include "faulty_file_system.h"
#include "platform/code_page.h"
#include "recording_feedback.h"
#include "temp_dir.h"

using testsupport::listNames;
using testsupport::readBytes;
using testsupport::TempDir;
using Names = std::vector<std::string>;
using Files = std::vector<std::pair<std::string, std::uint64_t>>;

namespace {

// Fifteen addresses and one empty field:
//   valid: alice (three spellings), bob (twice), carol, dave, erin -> 5 distinct, 3 repeats
//   invalid: not-an-address (three spellings), x@y                  -> 2 distinct, 2 repeats
//   erroneous: c@@163.com (two spellings), "d @qq.com"              -> 2 distinct, 1 repeat
const char* const kList =
    "email,name\r\n"
    "Alice@QQ.com,1\r\n"
    "alice@qq.com,2\r\n"
    "ALICE@qq.COM,3\r\n"
    "bob@163.com,4\r\n"
    "not-an-address,5\r\n"
    "bob@163.com,6\r\n"
    "c@@163.com,7\r\n"
    "carol@gmail.com,8\r\n"
    ",9\r\n"
    "NOT-AN-ADDRESS,10\r\n"
    "dave@sina.com,11\r\n"
    "C@@163.com,12\r\n"
    "x@y,13\r\n"
    "d @qq.com,14\r\n"
    "not-an-address,15\r\n"
    "erin@qq.com,16\r\n";

// Each address once: two of the five valid ones.
const char* const kExclusions = "carol@gmail.com\r\nerin@qq.com\r\n";

// The files a run wrote, in order, with their rows.
Files written(const exporting::ExportSummary& summary) {
    Files files;
    for (const auto& file : summary.files) files.emplace_back(file.name, file.rows);
    return files;
}

// Asks the workspace to stop when the progress first shows a step.
class CancellingFeedback : public RecordingFeedback {
public:
    void showProgress(const std::string& step, double fraction) override {
        RecordingFeedback::showProgress(step, fraction);
        if (workspace != nullptr && step == cancelAt) workspace->requestCancel();
    }
    core::Workspace* workspace = nullptr;
    std::string cancelAt;  // GBK
};

class LongWork : public testing::Test {
protected:
    LongWork() {
        dir.write("list.csv", kList);
        dir.write("excl.csv", kExclusions);
        dir.write("excl1.csv", "carol@gmail.com\r\n");
        feedback.workspace = &workspace;
        EXPECT_TRUE(workspace.OpenSourceFile(dir / "list.csv", core::SourceOptions{true, 0}, false).previewed);
        feedback.messages.clear();
        feedback.operationTexts.clear();
        feedback.steps.clear();
        feedback.fractions.clear();
    }

    static exporting::CleaningOptions excludingAndSplitting(const char* exclusionFile = "excl.csv") {
        exporting::CleaningOptions options;
        options.excludeFile = true;
        options.excludeFileName = exclusionFile;
        options.split = true;
        options.splitRows = "2";
        return options;
    }
    // What the runs wrote into the folder: the result files and any temporary one.
    Names results() const {
        Names names;
        for (const auto& name : listNames(dir.path()))
            if (name.rfind("list-", 0) == 0 || name.front() == '.') names.push_back(name);
        return names;
    }

    TempDir dir;
    CancellingFeedback feedback;
    core::Workspace workspace{feedback};
};

TEST_F(LongWork, TheSummaryCountsEveryClassExactly) {
    ASSERT_TRUE(workspace.ExportAll(excludingAndSplitting(), "email", dir.path()));
    ASSERT_TRUE(workspace.exportSummary());
    const exporting::ExportSummary& s = *workspace.exportSummary();
    EXPECT_EQ(s.read, 15u);
    EXPECT_EQ(s.invalid, 2u);
    EXPECT_EQ(s.erroneous, 2u);
    EXPECT_EQ(s.valid, 5u);
    EXPECT_EQ(s.duplicates(), 6u);
    EXPECT_EQ(s.excluded, 2u);
    EXPECT_EQ(s.exported, 3u);
    EXPECT_EQ(s.parts, 2u);
    // read = invalid + erroneous + duplicates + distinct valid; distinct valid = excluded + exported.
    EXPECT_EQ(s.read, s.invalid + s.erroneous + s.duplicates() + s.valid);
    EXPECT_EQ(s.valid, s.excluded + s.exported);
    EXPECT_EQ(written(s), (Files{{"list-Invalid.csv", 2}, {"list-Error.csv", 2}, {"list-Exclude.csv", 2},
                                 {"list-Export.csv", 3}, {"list-Export-1.csv", 2}, {"list-Export-2.csv", 1}}));
    EXPECT_EQ(feedback.messages, Names{"Email地址按条件全部导出 执行完毕!"});
    EXPECT_EQ(feedback.summaries, Names{"读取的非空地址：15\n"
                                        "无效地址（去重，存入 list-Invalid.csv）：2\n"
                                        "错误地址（去重，存入 list-Error.csv）：2\n"
                                        "重复地址（不区分大小写）：6\n"
                                        "排除地址（存入 list-Exclude.csv）：2\n"
                                        "导出地址（存入 list-Export.csv）：3\n"
                                        "拆分文件：2 个"});
}

TEST_F(LongWork, TheDomainExportCountsItsFiles) {
    dir.write("top2.ini", "[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=2\r\n");
    ASSERT_TRUE(workspace.ExportByDomain(exporting::CleaningOptions{}, "email", dir.path(), dir / "top2.ini"));
    const exporting::ExportSummary& s = *workspace.exportSummary();
    EXPECT_EQ(s.exported, 5u);
    EXPECT_EQ(s.excluded, 0u);
    // qq.com holds alice and erin; of the domains with one address each,
    // 163.com comes first in the cleaned file; carol and dave remain.
    EXPECT_EQ(s.parts, 3u);
    EXPECT_EQ(written(s), (Files{{"list-Invalid.csv", 2}, {"list-Error.csv", 2}, {"list-Export.csv", 5},
                                 {"list-Export-qq.com.csv", 2}, {"list-Export-163.com.csv", 1},
                                 {"list-Export-OtherDomain.csv", 2}}));
    EXPECT_NE(feedback.summaries.at(0).find("邮件域文件：3 个"), std::string::npos);
    EXPECT_EQ(feedback.summaries.at(0).find("拆分文件"), std::string::npos);
}

TEST_F(LongWork, ProgressNamesTheStepsAndOnlyGrows) {
    ASSERT_TRUE(workspace.ExportAll(excludingAndSplitting(), "email", dir.path()));
    EXPECT_EQ(feedback.steps, (Names{"正在导出无效Email地址……", "正在导出错误Email地址……",
                                     "正在导出有效Email地址……", "正在导出排除的Email地址……",
                                     "正在导出清理后的Email地址……", "正在拆分第 1 个文件……",
                                     "正在拆分第 2 个文件……"}));
    ASSERT_FALSE(feedback.fractions.empty());
    for (std::size_t i = 1; i < feedback.fractions.size(); ++i)
        EXPECT_GE(feedback.fractions[i], feedback.fractions[i - 1]) << i;
    EXPECT_LT(feedback.fractions.front(), 0.2);
    EXPECT_DOUBLE_EQ(feedback.fractions.back(), 1.0);
}

// Cancelled when the progress first shows each step: what is on disk then.
// With carol excluded four addresses are exported, two per part.
TEST_F(LongWork, CancellingAtEachStep) {
    const struct {
        const char* step;
        Names files;  // besides the earlier files, which stay as they were
    } cases[] = {
        {"正在导出无效Email地址……", {}},
        {"正在导出错误Email地址……", {"list-Invalid.csv"}},
        {"正在导出有效Email地址……", {"list-Error.csv", "list-Invalid.csv"}},
        {"正在导出排除的Email地址……", {"list-Error.csv", "list-Invalid.csv"}},
        {"正在导出清理后的Email地址……", {"list-Error.csv", "list-Exclude.csv", "list-Invalid.csv"}},
        {"正在拆分第 1 个文件……", {"list-Error.csv", "list-Exclude.csv", "list-Export.csv", "list-Invalid.csv"}},
        {"正在拆分第 2 个文件……",
         {"list-Error.csv", "list-Exclude.csv", "list-Export-1.csv", "list-Export.csv", "list-Invalid.csv"}},
    };
    for (const auto& c : cases) {
        TempDir out;
        out.write("list-Export-2.csv", "an earlier run's part\r\n");
        feedback.messages.clear();
        feedback.summaries.clear();
        feedback.cancelAt = c.step;
        EXPECT_FALSE(workspace.ExportAll(excludingAndSplitting("excl1.csv"), "email", out.path())) << c.step;
        EXPECT_EQ(feedback.messages, Names{"操作已取消。"}) << c.step;
        EXPECT_TRUE(feedback.summaries.empty());
        EXPECT_FALSE(workspace.exportSummary());
        Names expected = c.files;
        expected.push_back("list-Export-2.csv");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listNames(out.path()), expected) << c.step;  // no -Temp.csv, nothing .partial
        EXPECT_EQ(readBytes(out / "list-Export-2.csv"), "an earlier run's part\r\n");
        EXPECT_FALSE(workspace.csvResult().isOpen());
    }
    // The request was consumed: the next run goes to its end.
    feedback.cancelAt.clear();
    feedback.messages.clear();
    EXPECT_TRUE(workspace.ExportAll(excludingAndSplitting(), "email", dir.path()));
    EXPECT_EQ(feedback.messages, Names{"Email地址按条件全部导出 执行完毕!"});
}

TEST_F(LongWork, CancellingADomainExportBetweenGroups) {
    dir.write("custom.ini", "[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nqq=qq.com\r\nnetease=163.com\r\n");
    feedback.cancelAt = "正在导出邮件域 netease……";
    EXPECT_FALSE(workspace.ExportByDomain(exporting::CleaningOptions{}, "email", dir.path(), dir / "custom.ini"));
    EXPECT_EQ(feedback.messages, Names{"操作已取消。"});
    EXPECT_EQ(results(), (Names{"list-Error.csv", "list-Export-qq.csv", "list-Export.csv", "list-Invalid.csv"}));
}

// The request arrives while a file is being written: that file is dropped,
// an earlier one of its name stays.
TEST_F(LongWork, CancellingWhileAFileIsWritten) {
    dir.write("list-Error.csv", "\"earlier\"");
    class CancelOnCreate : public testsupport::FaultyFileSystem {
    public:
        explicit CancelOnCreate(core::Workspace& w) : workspace_(w) {}
        std::unique_ptr<platform::WritableFile> createFile(std::string_view path) override {
            if (path.find("list-Error.csv") != std::string_view::npos) workspace_.requestCancel();
            return FaultyFileSystem::createFile(path);
        }

    private:
        core::Workspace& workspace_;
    } disk(workspace);
    platform::ScopedFileSystem installed(disk);
    EXPECT_FALSE(workspace.ExportAll(exporting::CleaningOptions{}, "email", dir.path()));
    EXPECT_EQ(feedback.messages, Names{"操作已取消。"});
    EXPECT_EQ(results(), (Names{"list-Error.csv", "list-Invalid.csv"}));
    EXPECT_EQ(readBytes(dir / "list-Error.csv"), "\"earlier\"");
    EXPECT_EQ(disk.created.size(), 2u);
}

// A request made before a call (a signal between two calls of the command
// line) stops that call at its first checkpoint.
TEST_F(LongWork, ARequestBeforeTheCallStopsIt) {
    workspace.requestCancel();
    EXPECT_FALSE(workspace.ExportAll(exporting::CleaningOptions{}, "email", dir.path()));
    EXPECT_EQ(feedback.messages, Names{"操作已取消。"});
    EXPECT_TRUE(results().empty());
}

TEST_F(LongWork, CancellingPreviewsAndTheCount) {
    feedback.cancelAt = "正在统计邮件域……";
    EXPECT_FALSE(workspace.PreviewDomains("email", 10));
    EXPECT_FALSE(workspace.domainResult().isOpen());
    EXPECT_EQ(feedback.messages, Names{"操作已取消。"});

    // Opening: the binding and its preview stand, the count is cancelled.
    feedback.messages.clear();
    feedback.cancelAt = "正在统计记录总数……";
    const core::BindOutcome outcome = workspace.OpenSourceFile(dir / "list.csv", core::SourceOptions{true, 0}, true);
    EXPECT_TRUE(outcome.previewed);
    EXPECT_FALSE(outcome.recordCount);
    EXPECT_TRUE(workspace.previewResult().isOpen());
    EXPECT_EQ(feedback.messages, Names{"操作已取消。"});

    feedback.messages.clear();
    feedback.cancelAt = "正在读取文件……";
    preview::DataPreviewInput input;
    input.option = preview::DataOption::Invalid;
    input.column = "email";
    EXPECT_FALSE(workspace.PreviewDataBy(input));
    EXPECT_FALSE(workspace.previewResult().isOpen());
    EXPECT_EQ(feedback.messages, Names{"操作已取消。"});
}

// Every result file waits for the disk before it takes its name; the
// intermediate file does not when the exclusion pass reads and removes it.
TEST_F(LongWork, ResultFilesAreSyncedTheIntermediateOneOnlyWhenItBecomesTheExport) {
    const auto syncedNames = [&](const exporting::CleaningOptions& options) {
        testsupport::FaultyFileSystem disk;
        platform::ScopedFileSystem installed(disk);
        EXPECT_TRUE(workspace.ExportAll(options, "email", dir.path()));
        Names names;
        for (const auto& path : disk.synced) names.push_back(path.substr(path.rfind('/') + 1));
        return names;
    };
    const std::string pid = std::to_string(::getpid());
    const auto temporary = [&](const std::string& name) { return "." + name + "." + pid + ".partial"; };
    exporting::CleaningOptions excluding;
    excluding.excludeFile = true;
    excluding.excludeFileName = "excl.csv";
    EXPECT_EQ(syncedNames(excluding), (Names{temporary("list-Invalid.csv"), temporary("list-Error.csv"),
                                             temporary("list-Exclude.csv"), temporary("list-Export.csv")}));
    EXPECT_EQ(syncedNames(exporting::CleaningOptions{}),
              (Names{temporary("list-Invalid.csv"), temporary("list-Error.csv"), temporary("list-Temp.csv")}));
}

// A run killed in this folder left a temporary file; the next run removes it.
TEST_F(LongWork, ALeftoverTemporaryIsRemovedByTheNextRun) {
    const std::string leftover = ".list-Export.csv.999999999.partial";  // no process has that id
    dir.write(leftover, "\"half");
    ASSERT_TRUE(workspace.ExportAll(exporting::CleaningOptions{}, "email", dir.path()));
    EXPECT_EQ(results(), (Names{"list-Error.csv", "list-Export.csv", "list-Invalid.csv"}));
}

}  // namespace

// The address checks are a step of their own: cancelled there, the files of
// the first pass stay and no intermediate file is left.
TEST_F(LongWork, CancellingInTheAddressChecks) {
    exporting::CleaningOptions options;
    options.checks.options.strictSyntax = true;
    feedback.cancelAt = "正在检查Email地址……";
    EXPECT_FALSE(workspace.ExportAll(options, "email", dir.path()));
    EXPECT_EQ(feedback.messages, Names{"操作已取消。"});
    EXPECT_EQ(results(), (Names{"list-Error.csv", "list-Invalid.csv"}));
    EXPECT_FALSE(workspace.csvResult().isOpen());
}

// The checked addresses cannot be written (the disk refuses the file): the
// failure is shown, the run stops before -Export.csv, nothing half-written
// is left, and the intermediate file keeps every valid address.
TEST_F(LongWork, AddressChecksWhoseFileCannotBeWritten) {
    exporting::CleaningOptions options;
    options.checks.options.strictSyntax = true;
    testsupport::FaultyFileSystem disk;
    disk.failAt(testsupport::FaultyFileSystem::Call::Create, 4);  // Invalid, Error, Temp, then the checked one
    platform::ScopedFileSystem installed(disk);
    EXPECT_FALSE(workspace.ExportAll(options, "email", dir.path()));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_NE(feedback.messages[0].find("Cannot create file"), std::string::npos) << feedback.messages[0];
    EXPECT_EQ(results(), (Names{"list-Error.csv", "list-Invalid.csv", "list-Temp.csv"}));
    const std::string temp = readBytes(dir / "list-Temp.csv");
    EXPECT_EQ(std::count(temp.begin(), temp.end(), '\n'), 4);  // five addresses
}
