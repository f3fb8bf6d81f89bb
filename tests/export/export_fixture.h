// A bound source file in a temporary folder, the two connections as the
// window opens them, and an export run over them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/engine.h"
#include "export/export_run.h"
#include "source/bound_source.h"
#include "platform/code_page.h"
#include "connection_string.h"
#include "recording_feedback.h"
#include "test_files.h"

class ExportFixture : public testing::Test {
protected:
    // Writes the source file (GBK bytes) and its Schema.ini section, opens
    // the connections and makes the context.  format: "CSVDelimited", ...
    void bind(const std::string& sourceFile, const std::string& content, bool header = true,
              const std::string& format = "CSVDelimited") {
        sourceFile_ = sourceFile;
        testing_files::writeFile(dir / sourceFile, content);
        testing_files::writeFile(dir / "Schema.ini", "[" + sourceFile + "]\r\nColNameHeader=" +
                                                          (header ? "True" : "False") + "\r\nFormat=" +
                                                          format + "\r\n");
        if (preview.isOpen()) preview.close();
        if (csvConnection.isOpen()) csvConnection.close();
        // As the tool opens them: statements in UTF-8, GBK lists.
        preview.open(testsupport::connectionString(dir.path(), header ? "Yes" : "No", format), engine::CodePage::Utf8);
        preview.setDefaultTableEncoding("936");
        csvConnection.open(testsupport::connectionString(dir.path(), "No", "Delimited"), engine::CodePage::Utf8);
        csvConnection.setDefaultTableEncoding("936");
        makeContext(sourceFile);
    }

    // The context alone, connections unopened: enough for the split.
    void makeContext(const std::string& sourceFile) {
        sourceFile_ = sourceFile;
        bound.binding.bind(dir / sourceFile);
        ctx = std::make_unique<exporting::ExportRun>(exporting::ExportRun{bound, dir.path(), feedback});
    }

    std::string out(const std::string& suffix) const {
        return ctx->outputDir + "/" + baseName() + suffix;
    }
    std::string baseName() const { return sourceFile_.substr(0, sourceFile_.size() - 4); }

    testing_files::TempDir dir;
    source::BoundSource bound;
    engine::Connection& preview = bound.adoconn_preview;
    engine::Connection& csvConnection = bound.adoconn_csv;
    engine::ResultSet& result = bound.adodst_csv;
    RecordingFeedback feedback;
    std::unique_ptr<exporting::ExportRun> ctx;
    std::string sourceFile_;
};

using Values = std::vector<std::string>;
