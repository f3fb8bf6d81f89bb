#include "core_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "cli_process.h"
#include "core/workspace.h"
#include "platform/code_page.h"
#include "recording_feedback.h"

namespace clitest {

namespace {

using ExportCall = std::function<bool(core::Workspace&, const std::string& outputDir)>;

// The messages in the order the command line prints them: an export's
// summary follows its completion message.
class PrintedFeedback : public RecordingFeedback {
public:
    void showCompletion(const std::string& gbkText, const std::string& gbkSummary) override {
        messages.push_back(gbkText);
        if (!gbkSummary.empty()) messages.push_back(gbkSummary);
    }
};

CoreResult runCore(const CoreSource& src, const ExportCall& run) {
    PrintedFeedback feedback;
    CoreResult result;
    {
        core::Workspace workspace(feedback);
        if (workspace.OpenSourceFile(src.path, core::SourceOptions{src.header, src.delimiterIndex}, false).previewed)
            result.ok = run(workspace, src.outputDir.empty() ? workspace.sourceDir() : src.outputDir);
    }
    result.messages = feedback.messages;
    return result;
}

}  // namespace

std::string CoreResult::printed() const {
    std::string out;
    for (const auto& m : messages) out += m + "\n";
    return out;
}

CoreResult runCoreFullExport(const CoreSource& src, const exporting::CleaningOptions& options) {
    return runCore(src, [&](core::Workspace& workspace, const std::string& outputDir) {
        return workspace.ExportAll(options, src.column, outputDir);
    });
}

CoreResult runCoreDomainExport(const CoreSource& src, const exporting::CleaningOptions& options,
                               const std::string& settingsPath) {
    return runCore(src, [&](core::Workspace& workspace, const std::string& outputDir) {
        return workspace.ExportByDomain(options, src.column, outputDir, settingsPath);
    });
}

void expectSameFiles(const std::string& dirA, const std::string& dirB) {
    const auto namesA = listNames(dirA), namesB = listNames(dirB);
    ASSERT_EQ(namesA, namesB) << dirA << " and " << dirB << " hold different files";
    for (const auto& name : namesA) {
        if (std::filesystem::is_directory(dirA + "/" + name)) continue;
        EXPECT_EQ(readBytes(dirA + "/" + name), readBytes(dirB + "/" + name)) << name << " differs";
    }
}

}  // namespace clitest
