// The same work done in-process through the operations core, the way the
// window drives it, so that the command line's files can be compared byte
// for byte with the core's.
#pragma once

#include <string>
#include <vector>

#include "export/export_run.h"

namespace clitest {

struct CoreSource {
    std::string path;  // full path
    bool header = false;
    int delimiterIndex = 0;
    std::string column;
    std::string outputDir;  // empty: the source file's directory
};

struct CoreResult {
    bool ok = false;
    // As the window would show them; a failure that reaches the
    // window's failure box carries its full stop.
    std::vector<std::string> messages;
    // The messages as the command line prints them: UTF-8, one a line.
    std::string printed() const;
};

CoreResult runCoreFullExport(const CoreSource& source, const exporting::CleaningOptions& options);
CoreResult runCoreDomainExport(const CoreSource& source, const exporting::CleaningOptions& options,
                               const std::string& settingsPath);

// Expects both folders to hold the same file names with the same bytes.
void expectSameFiles(const std::string& dirA, const std::string& dirB);

}  // namespace clitest
