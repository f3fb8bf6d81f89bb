#include "export/file_steps.h"

#include <unistd.h>

#include "csv/csv_result_writer.h"
#include "source/base_name.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace exporting {

namespace {

std::string withoutTrailingSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// A relative output directory is taken from the working directory, so that
// the engine, which resolves bare names in its own directory, finds it.
std::string absoluteDirectory(const std::string& dir) {
    if (!dir.empty() && dir.front() == '/') return dir;
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return dir;
    const std::string cwd = buffer;
    return dir.empty() || dir == "." ? cwd : platform::joinPath(cwd, dir);
}

}  // namespace

std::string OutputPath(const ExportRun& ctx, const std::string& suffix) {
    return platform::joinPath(ctx.outputDir, source::BaseName(ctx.sourceFile()) + suffix);
}

std::string OutputTableName(const ExportRun& ctx, const std::string& fileName) {
    const std::string name = withoutTrailingSlash(ctx.outputDir) == withoutTrailingSlash(ctx.sourceDir())
                                 ? fileName
                                 : platform::joinPath(absoluteDirectory(ctx.outputDir), fileName);
    // The engine reads "]]" inside brackets as one "]".
    std::string table;
    for (char c : name) {
        table += c;
        if (c == ']') table += ']';
    }
    return table;
}

void CloseSharedResult(ExportRun& ctx) {
    if (ctx.source.adodst_csv.isOpen()) ctx.source.adodst_csv.close();
}

bool RunIntoFile(ExportRun& ctx, engine::Connection& conn, const std::string& sql,
                 const std::string& path) {
    try {
        CloseSharedResult(ctx);
        ctx.source.adodst_csvConnection = &conn;
        ctx.source.adodst_csv.open(conn, sql);
        const bool rows = ctx.source.adodst_csv.recordCount() > 0;
        if (rows) csv::CsvResultWriter(ctx.source.adodst_csv).WriteCsvFile(path, ctx.resultsHaveByteOrderMark());
        ctx.source.adodst_csv.close();
        return rows;
    } catch (...) {
        CloseSharedResult(ctx);
        throw;
    }
}

void RemoveExistingFile(const std::string& path) { platform::FileSystem::current().removeFile(path); }

void RenameExistingFile(const std::string& from, const std::string& to) {
    platform::FileSystem::current().renameFile(from, to);
}

}  // namespace exporting
