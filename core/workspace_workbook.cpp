// A workbook as the source: its worksheet converted into a table copy in the
// tool's private folder, bound as a text list is; the copy made again when
// the workbook changes on disk.  Nothing is written beside the workbook.
#include <exception>

#include "core/workspace.h"
#include "platform/file_system.h"

namespace core {

BindOutcome Workspace::openWorkbook(const std::string& path, const SourceOptions& options, bool withRecordCount) {
    BindOutcome refused;
    refused.refused = true;
    refused.workbook = true;
    std::string copyPath;
    try {
        copyPath = platform::joinPath(bound_.privateFolder.path(), source::copyFileName(platform::fileNameOf(path)));
    } catch (const std::exception& failure) {
        feedback_.showMessage(failure.what());
        return refused;
    }
    // Converted before the binding changes: a workbook that cannot be read
    // leaves the binding before it whole.
    const auto copy = copyWorksheet(path, options.sheet, copyPath);
    if (!copy) return refused;
    const std::string previousCopy = isWorkbook() ? tablePath() : std::string();
    bound_.binding.deleteSchema();
    bound_.binding.bindCopy(path, copyPath);
    bound_.workbook = *copy;
    if (!previousCopy.empty() && previousCopy != copyPath) platform::removeFile(previousCopy);
    return bindAndPreview(options, withRecordCount);
}

bool Workspace::copyCurrent(const std::optional<std::string>& sheet) {
    if (!isWorkbook()) return true;
    const std::string workbookPath = platform::joinPath(sourceDir(), sourceFile());
    if (!sheet && source::stampOf(workbookPath) == bound_.workbook.stamp) return true;
    // The worksheet bound is asked for by its name: the workbook may have
    // gained or lost sheets before it.
    const auto copy = copyWorksheet(workbookPath, sheet ? sheet : bound_.workbook.sheets.at(bound_.workbook.sheet),
                                    tablePath());
    if (!copy) return false;
    bound_.workbook = *copy;
    return true;
}

}  // namespace core
