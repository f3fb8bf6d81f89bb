// The operations core as both front-ends drive it: binding with the record
// count, the previews, the exports, failures reported through the feedback,
// and file failures injected at a chosen call through the file-system double.
#include "core/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "faulty_file_system.h"
#include "platform/code_page.h"
#include "preview/domain_preview.h"
#include "recording_feedback.h"
#include "temp_dir.h"

using testsupport::FaultyFileSystem;
using testsupport::readBytes;
using testsupport::TempDir;

namespace {

// Comma separated with a header line; valid, invalid and erroneous addresses.
const char* const kList =
    "email,name\r\n"
    "Alice@QQ.com,a\r\n"
    "alice@qq.com,b\r\n"
    "bob@163.com,c\r\n"
    "not-an-address,d\r\n"
    "c@@163.com,e\r\n";

class WorkspaceTest : public testing::Test {
protected:
    WorkspaceTest() { dir.write("list.csv", kList); }

    core::BindOutcome open(bool withCount = true) {
        return workspace.OpenSourceFile(dir / "list.csv", core::SourceOptions{true, 0}, withCount);
    }
    std::string file(const std::string& name) const { return readBytes(dir / name); }

    TempDir dir;
    RecordingFeedback feedback;
    core::Workspace workspace{feedback};
};

TEST_F(WorkspaceTest, OpeningBindsPreviewsAndCounts) {
    const core::BindOutcome outcome = open();
    ASSERT_TRUE(outcome.previewed);
    EXPECT_EQ(outcome.columns, (std::vector<std::string>{"email", "name"}));
    EXPECT_EQ(outcome.recordCount, 5);
    EXPECT_EQ(workspace.sourceDir(), dir.path());
    EXPECT_EQ(workspace.sourceFile(), "list.csv");
    EXPECT_EQ(workspace.previewResult().recordCount(), 5u);
    EXPECT_FALSE(workspace.csvResult().isOpen());
    EXPECT_EQ(feedback.operationTexts,
              (std::vector<std::string>{std::string(" 当前操作：打开文件"), std::string(" 当前操作：正在读取文件......"),
                                        std::string(" 当前操作：预览查询[查询条件:无条件]")}));
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_EQ(feedback.busyDepth, 0);
    EXPECT_NE(file("Schema.ini"), "");
}

TEST_F(WorkspaceTest, ShutDownRemovesTheDescriptionFileItWrote) {
    {
        core::Workspace other(feedback);
        ASSERT_TRUE(other.OpenSourceFile(dir / "list.csv", core::SourceOptions{true, 0}, false).previewed);
        EXPECT_TRUE(platform::fileExists(dir / "Schema.ini"));
    }
    EXPECT_FALSE(platform::fileExists(dir / "Schema.ini"));
}

TEST_F(WorkspaceTest, RebindingWithoutAFileDoesNothing) {
    const core::BindOutcome outcome = workspace.RebindSource(core::SourceOptions{false, 1});
    EXPECT_FALSE(outcome.previewed);
    EXPECT_TRUE(feedback.operationTexts.empty());
    EXPECT_FALSE(platform::fileExists(dir / "Schema.ini"));
}

TEST_F(WorkspaceTest, AnOptionChangeRebindsWithTheNewOptions) {
    ASSERT_TRUE(open().previewed);
    const core::BindOutcome outcome = workspace.RebindSource(core::SourceOptions{false, 0});
    ASSERT_TRUE(outcome.previewed);
    EXPECT_EQ(outcome.columns, (std::vector<std::string>{"F1", "F2"}));
    EXPECT_EQ(workspace.previewResult().recordCount(), 6u);
}

TEST_F(WorkspaceTest, AFileTheEngineCannotReadStopsAfterTheMessage) {
    dir.write("list.csv", "email\r\n\"never closed\r\n");
    const core::BindOutcome outcome = open();
    EXPECT_FALSE(outcome.previewed);
    EXPECT_FALSE(outcome.recordCount);
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_TRUE(feedback.failures.empty());
}

// A count whose value is null or not a whole number fails as a conversion
// does; the window and the command line both count through the core.
TEST(RecordCount, ValueConversion) {
    EXPECT_EQ(core::recordCountOf(std::string_view("0")), 0);
    EXPECT_EQ(core::recordCountOf(std::string_view("12345678901")), 12345678901LL);
    const struct {
        std::optional<std::string_view> value;
        const char* message;
    } refused[] = {
        {std::nullopt, "'' is not a valid integer value"},
        {std::string_view(""), "'' is not a valid integer value"},
        {std::string_view("1a"), "'1a' is not a valid integer value"},
    };
    for (const auto& c : refused) {
        try {
            core::recordCountOf(c.value);
            ADD_FAILURE() << c.message;
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST_F(WorkspaceTest, PreviewsByOptionAndDomains) {
    ASSERT_TRUE(open(false).previewed);
    preview::DataPreviewInput invalid;
    invalid.option = preview::DataOption::Invalid;
    invalid.column = "email";
    ASSERT_TRUE(workspace.PreviewDataBy(invalid));
    EXPECT_EQ(workspace.previewResult().recordCount(), 1u);
    EXPECT_EQ(feedback.operationTexts.back(), std::string(" 当前操作：数据预览[查询条件:无效Email地址]"));

    preview::DataPreviewInput emptyList;
    emptyList.option = preview::DataOption::PrefixList;
    EXPECT_FALSE(workspace.PreviewDataBy(emptyList));
    EXPECT_EQ(feedback.messages.back(), std::string("前缀内容不能为空!"));

    ASSERT_TRUE(workspace.PreviewDomains("email", 10, true));
    EXPECT_TRUE(workspace.domainResult().isOpen());
    EXPECT_EQ(feedback.operationTexts.back(), preview::automaticDomainPreviewStatusText());
}

// The domain statistics belong to the binding they were counted for: each
// successful binding closes them; one whose preview fails leaves them.
TEST_F(WorkspaceTest, ABindingClosesTheDomainStatistics) {
    dir.write("other.csv", "email\r\nx@sina.com\r\n");
    const auto domainsOfList = [&] {
        ASSERT_TRUE(open(false).previewed);
        ASSERT_TRUE(workspace.PreviewDomains("email", 10));
        ASSERT_TRUE(workspace.domainResult().isOpen());
    };
    domainsOfList();
    EXPECT_TRUE(workspace.OpenSourceFile(dir / "other.csv", core::SourceOptions{true, 0}, false).previewed);
    EXPECT_FALSE(workspace.domainResult().isOpen());

    domainsOfList();
    EXPECT_TRUE(workspace.RebindSource(core::SourceOptions{false, 0}).previewed);
    EXPECT_FALSE(workspace.domainResult().isOpen());

    domainsOfList();
    EXPECT_FALSE(workspace.OpenSourceFile(dir / "missing.csv", core::SourceOptions{true, 0}, false).previewed);
    EXPECT_TRUE(workspace.domainResult().isOpen());
}

TEST_F(WorkspaceTest, DomainsWaitForABinding) {
    EXPECT_FALSE(workspace.PreviewDomains("email", 10));
    EXPECT_TRUE(feedback.messages.empty());
}

TEST_F(WorkspaceTest, ExportWritesEveryFileAndTheCountRunsAfterwards) {
    ASSERT_TRUE(open().previewed);
    ASSERT_TRUE(workspace.ExportAll(exporting::CleaningOptions{}, "email", dir.path()));
    EXPECT_EQ(file("list-Export.csv"), "\"alice@qq.com\"\r\n\"bob@163.com\"");
    EXPECT_EQ(file("list-Invalid.csv"), "\"not-an-address\"");
    EXPECT_EQ(file("list-Error.csv"), "\"c@@163.com\"");
    EXPECT_EQ(feedback.messages, (std::vector<std::string>{std::string("Email地址按条件全部导出 执行完毕!")}));
    // The next count runs where the export left the shared result set: on the
    // header-less connection, where the description file still governs the
    // source file, so its column names hold.
    EXPECT_EQ(workspace.CountRecords("email"), 5);
    EXPECT_EQ(feedback.messages.size(), 1u);
}

// A number that does not convert is a failure no operation catches: it
// reaches the failure box, and no completion message follows.
TEST_F(WorkspaceTest, AFailureNoOperationCatchesReachesTheFailureBox) {
    ASSERT_TRUE(open(false).previewed);
    exporting::CleaningOptions options;
    options.split = true;
    options.splitRows = "4x";
    EXPECT_FALSE(workspace.ExportAll(options, "email", dir.path()));
    EXPECT_EQ(feedback.failures, (std::vector<std::string>{"'4x' is not a valid integer value"}));
    EXPECT_EQ(feedback.messages, (std::vector<std::string>{"'4x' is not a valid integer value."}));
}

// Faults at a chosen moment, through the file-system double.
TEST_F(WorkspaceTest, AFailedWriteAtAChosenCallStopsTheExportWithItsMessage) {
    ASSERT_TRUE(open(false).previewed);
    const std::string errorFile = dir / "list-Error.csv";
    const struct {
        FaultyFileSystem::Call call;
        int n;
        std::string message;
    } cases[] = {
        // The second file the run creates is -Error.csv; each file is put in
        // place by a rename, the fourth one moves -Temp.csv to -Export.csv.
        {FaultyFileSystem::Call::Create, 2, "Cannot create file \"" + errorFile + "\". No space left on device"},
        {FaultyFileSystem::Call::Append, 2, "Cannot write file \"" + errorFile + "\". No space left on device"},
        {FaultyFileSystem::Call::Sync, 2, "Cannot write file \"" + errorFile + "\". No space left on device"},
        {FaultyFileSystem::Call::Rename, 2, "Cannot create file \"" + errorFile + "\". No space left on device"},
        {FaultyFileSystem::Call::Rename, 4,
         "Cannot rename file \"" + (dir / "list-Temp.csv") + "\" to \"" + (dir / "list-Export.csv") +
             "\". No space left on device"},
    };
    for (const auto& c : cases) {
        feedback.messages.clear();
        FaultyFileSystem faulty;
        faulty.failAt(c.call, c.n);
        platform::ScopedFileSystem scoped(faulty);
        EXPECT_FALSE(workspace.ExportAll(exporting::CleaningOptions{}, "email", dir.path())) << c.message;
        EXPECT_EQ(feedback.messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(workspace.csvResult().isOpen());
        for (const std::string& name : testsupport::listNames(dir.path()))
            EXPECT_EQ(name.find(".partial"), std::string::npos) << name;  // nothing half-written left
    }
}

// A disk that fills up after the cleaning: the domain export shows each
// group's and the remainder's failure, goes on to its completion message as
// the window does, and counts the failed steps for the command line.
TEST_F(WorkspaceTest, ADomainExportOnAFullDiskCountsItsFailedSteps) {
    ASSERT_TRUE(open(false).previewed);
    dir.write("settings.ini", "[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nqq=qq.com\r\n");
    // The cleaning alone: how many files it creates and how many writes it makes.
    int cleaningCreates = 0, cleaningAppends = 0;
    {
        FaultyFileSystem counting;
        platform::ScopedFileSystem scoped(counting);
        ASSERT_TRUE(workspace.ExportAll(exporting::CleaningOptions{}, "email", dir.path()));
        cleaningCreates = counting.calls(FaultyFileSystem::Call::Create);
        cleaningAppends = counting.calls(FaultyFileSystem::Call::Append);
    }
    for (const auto& [call, first] : {std::pair{FaultyFileSystem::Call::Create, cleaningCreates + 1},
                                      std::pair{FaultyFileSystem::Call::Append, cleaningAppends + 1}}) {
        for (const char* name : {"list-Export-qq.csv", "list-Export-OtherDomain.csv"})
            std::filesystem::remove(dir / name);
        feedback.messages.clear();
        FaultyFileSystem faulty;
        faulty.failFrom(call, first);
        platform::ScopedFileSystem scoped(faulty);
        EXPECT_TRUE(workspace.ExportByDomain(exporting::CleaningOptions{}, "email", dir.path(), dir / "settings.ini"));
        ASSERT_TRUE(workspace.exportSummary().has_value());
        EXPECT_EQ(workspace.exportSummary()->failedSteps, 2u);  // the group and the remainder
        ASSERT_EQ(feedback.messages.size(), 3u);
        const std::string action = call == FaultyFileSystem::Call::Create ? "Cannot create file" : "Cannot write file";
        EXPECT_EQ(feedback.messages[0], action + " \"" + (dir / "list-Export-qq.csv") + "\". No space left on device");
        EXPECT_EQ(feedback.messages[1],
                  action + " \"" + (dir / "list-Export-OtherDomain.csv") + "\". No space left on device");
        EXPECT_EQ(feedback.messages[2], std::string("Email地址按条件,按@后缀分类导出 执行完毕!"));
        EXPECT_FALSE(workspace.csvResult().isOpen());
        // Nothing half-written under a final name.
        EXPECT_FALSE(std::filesystem::exists(dir / "list-Export-qq.csv"));
        EXPECT_FALSE(std::filesystem::exists(dir / "list-Export-OtherDomain.csv"));
    }
    // Nothing failed: nothing counted.
    feedback.messages.clear();
    EXPECT_TRUE(workspace.ExportByDomain(exporting::CleaningOptions{}, "email", dir.path(), dir / "settings.ini"));
    EXPECT_EQ(workspace.exportSummary()->failedSteps, 0u);
    EXPECT_EQ(readBytes(dir / "list-Export-qq.csv"), "\"alice@qq.com\"");
    EXPECT_EQ(readBytes(dir / "list-Export-OtherDomain.csv"), "\"bob@163.com\"");
}

}  // namespace
