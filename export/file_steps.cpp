#include "export/file_steps.h"

#include <unistd.h>

#include "csv/csv_result_writer.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace exporting {

namespace {

std::string withoutTrailingSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

}  // namespace

std::string AbsoluteDirectory(const std::string& dir) {
    if (!dir.empty() && dir.front() == '/') return dir;
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return dir;
    const std::string cwd = buffer;
    return dir.empty() || dir == "." ? cwd : platform::joinPath(cwd, dir);
}

bool SameDirectory(const std::string& a, const std::string& b) {
    return withoutTrailingSlash(a) == withoutTrailingSlash(b);
}

std::string EngineTableName(const std::string& name) {
    std::string table;
    for (char c : name) {
        table += c;
        if (c == ']') table += ']';
    }
    return table;
}

std::string OutputPath(const ExportRun& ctx, const std::string& suffix) {
    return platform::joinPath(ctx.outputDir, ctx.baseName() + suffix);
}

std::string OutputTableName(const ExportRun& ctx, const std::string& fileName) {
    return EngineTableName(SameDirectory(ctx.outputDir, ctx.tableDir())
                               ? fileName
                               : platform::joinPath(AbsoluteDirectory(ctx.outputDir), fileName));
}

void CloseSharedResult(ExportRun& ctx) {
    if (ctx.source.adodst_csv.isOpen()) ctx.source.adodst_csv.close();
}

void OpenSharedResult(ExportRun& ctx, engine::Connection& conn, const std::string& sql) {
    try {
        CloseSharedResult(ctx);
        ctx.source.adodst_csvConnection = &conn;
        ctx.source.adodst_csv.open(conn, sql, &ctx.progress);
    } catch (...) {
        CloseSharedResult(ctx);
        ctx.progress.throwIfCancelled();  // the scan stopped for the cancel request
        throw;
    }
}

StatementRun RunIntoFile(ExportRun& ctx, engine::Connection& conn, const std::string& sql,
                         const std::string& path, bool intermediate) {
    ctx.progress.willWrite();
    OpenSharedResult(ctx, conn, sql);
    try {
        engine::ResultSet& result = ctx.source.adodst_csv;
        const StatementRun run{result.recordCount(), result.rowsMatched()};
        if (run.rows > 0)
            csv::CsvResultWriter(result).WriteCsvFile(
                path, ctx.resultsHaveByteOrderMark(),
                [&ctx, &run](std::size_t written) {
                    ctx.progress.throwIfCancelled();
                    ctx.progress.wrote(written, run.rows);
                },
                intermediate);
        ctx.progress.wrote(run.rows, run.rows);
        result.close();
        return run;
    } catch (...) {
        CloseSharedResult(ctx);
        ctx.progress.throwIfCancelled();
        throw;
    }
}

void Replan(ExportRun& ctx) { ctx.progress.plan(ctx.plan.stepBytes()); }

std::uint64_t FileBytes(const std::string& path) {
    const std::int64_t size = platform::fileSize(path);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

void RemoveExistingFile(const std::string& path) { platform::FileSystem::current().removeFile(path); }

void RenameExistingFile(const std::string& from, const std::string& to) {
    platform::FileSystem& fs = platform::FileSystem::current();
    fs.renameFile(from, to);
    fs.syncDirectory(platform::directoryOf(to).empty() ? std::string(".") : platform::directoryOf(to));
}

}  // namespace exporting
