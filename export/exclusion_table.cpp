#include "export/exclusion_table.h"

#include "export/file_steps.h"
#include "platform/file_system.h"
#include "source/workbook_copy.h"

namespace exporting {

ExclusionTable PrepareExclusionTable(ExportRun& ctx, const std::string& excludeFileName) {
    ExclusionTable table;
    const std::string path = platform::joinPath(ctx.sourceDir(), excludeFileName);
    if (source::isWorkbookFile(excludeFileName)) {
        // A folder of its own: its name may be the source copy's.
        const std::string dir = ctx.source.privateFolder.subfolder("exclusion");
        table.copy = true;
        table.fileName = source::copyFileName(excludeFileName);
        table.copyPath = platform::joinPath(dir, table.fileName);
        source::convertWorkbook(path, std::nullopt, table.copyPath);
        table.tableName = table.copyPath;
        return table;
    }
    table.fileName = excludeFileName;
    // Where the connections are opened on the source's folder, by its bare
    // name as always; otherwise (a workbook source) by its path.
    table.tableName = SameDirectory(ctx.tableDir(), ctx.sourceDir())
                          ? excludeFileName
                          : platform::joinPath(AbsoluteDirectory(ctx.sourceDir()), excludeFileName);
    return table;
}

void DiscardExclusionTable(const ExclusionTable& table) {
    if (table.copy) platform::removeFile(table.copyPath);
}

}  // namespace exporting
