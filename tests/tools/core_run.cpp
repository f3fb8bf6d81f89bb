#include "core_run.h"

#include <gtest/gtest.h>

#include <exception>
#include <filesystem>
#include <functional>

#include "cli_process.h"
#include "engine/engine.h"
#include "export/full_export.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "recording_feedback.h"
#include "source/source_binding.h"
#include "source/source_connections.h"

namespace clitest {

namespace {

using ExportRun = std::function<bool(exporting::ExportContext&)>;

CoreResult runCore(const CoreSource& src, const ExportRun& run) {
    source::SourceBinding binding;
    engine::Connection preview, csv;
    engine::ResultSet shared;
    RecordingFeedback feedback;
    CoreResult result;
    binding.bind(src.path);
    if (source::OpenSourceConnections(binding, src.header, src.delimiterIndex, preview, csv, feedback)) {
        exporting::ExportContext ctx{preview,
                                     csv,
                                     shared,
                                     &preview,
                                     binding.sourceDir(),
                                     binding.sourceFile(),
                                     src.outputDir.empty() ? binding.sourceDir() : src.outputDir,
                                     feedback};
        try {
            result.ok = run(ctx);
        } catch (const std::exception& uncaught) {
            std::string text = uncaught.what();
            if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
            feedback.messages.push_back(text);
        }
    }
    shared.close();
    binding.deleteSchema();
    result.messages = feedback.messages;
    return result;
}

}  // namespace

std::string CoreResult::printed() const {
    std::string out;
    for (const auto& m : messages) out += platform::gbkToUtf8(m) + "\n";
    return out;
}

CoreResult runCoreFullExport(const CoreSource& src, const exporting::CleaningOptions& options) {
    return runCore(src, [&](exporting::ExportContext& ctx) {
        return exporting::RunFullExport(ctx, options, src.column);
    });
}

CoreResult runCoreDomainExport(const CoreSource& src, const exporting::CleaningOptions& options,
                               const std::string& settingsPath) {
    return runCore(src, [&](exporting::ExportContext& ctx) {
        return exporting::RunDomainExport(ctx, options, src.column, settingsPath);
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
