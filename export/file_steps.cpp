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

std::string OutputPath(const ExportRun& ctx, const std::string& suffix) {
    return platform::joinPath(ctx.outputDir, ctx.baseName() + suffix);
}

std::string OutputTableName(const ExportRun& ctx, const std::string& fileName) {
    return SameDirectory(ctx.outputDir, ctx.tableDir()) ? fileName
                                                        : platform::joinPath(AbsoluteDirectory(ctx.outputDir), fileName);
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

namespace {

// Writes the open shared result set to path when it has rows (the progress
// counting rowsBefore + the rows written of rowsTotal), then closes it.
StatementRun writeSharedResult(ExportRun& ctx, const std::string& path, bool intermediate, std::uint64_t rowsBefore,
                               std::uint64_t rowsTotal) {
    try {
        engine::ResultSet& result = ctx.source.adodst_csv;
        const StatementRun run{result.recordCount(), result.rowsMatched()};
        if (run.rows > 0)
            csv::CsvResultWriter(result).WriteCsvFile(
                path, ctx.resultsHaveByteOrderMark(),
                [&ctx, rowsBefore, rowsTotal](std::size_t written) {
                    ctx.progress.throwIfCancelled();
                    ctx.progress.wrote(rowsBefore + written, rowsTotal);
                },
                intermediate);
        ctx.progress.wrote(rowsBefore + run.rows, rowsTotal);
        result.close();
        return run;
    } catch (...) {
        CloseSharedResult(ctx);
        ctx.progress.throwIfCancelled();
        throw;
    }
}

}  // namespace

StatementRun RunIntoFile(ExportRun& ctx, engine::Connection& conn, const std::string& sql,
                         const std::string& path, bool intermediate) {
    ctx.progress.willWrite();
    OpenSharedResult(ctx, conn, sql);
    const std::uint64_t rows = ctx.source.adodst_csv.recordCount();
    return writeSharedResult(ctx, path, intermediate, 0, rows);
}

void RunBatchIntoFiles(ExportRun& ctx, engine::Connection& conn, const std::vector<StatementIntoFile>& jobs,
                       const std::function<void(std::size_t, const std::exception*, const StatementRun&)>& done) {
    CloseSharedResult(ctx);
    if (jobs.empty()) return;
    ctx.progress.willWrite();
    engine::ResultBatch batch;
    std::vector<std::string> sqls;
    for (const StatementIntoFile& job : jobs) sqls.push_back(job.sql);
    try {
        batch.open(conn, sqls, &ctx.progress);
    } catch (const std::exception& e) {
        ctx.progress.throwIfCancelled();
        for (std::size_t i = 0; i < jobs.size(); ++i) done(i, &e, {});  // as each statement alone would have
        return;
    }
    std::uint64_t rowsTotal = 0, rowsBefore = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) rowsTotal += batch.recordCount(i);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (!jobs[i].title.empty()) ctx.progress.retitle(jobs[i].title);
        ctx.progress.throwIfCancelled();
        StatementRun run;
        try {
            ctx.source.adodst_csvConnection = &conn;
            batch.take(i, ctx.source.adodst_csv);
            run = writeSharedResult(ctx, jobs[i].path, false, rowsBefore, rowsTotal);
        } catch (const std::exception& e) {
            CloseSharedResult(ctx);
            ctx.progress.throwIfCancelled();  // a statement stopped for the cancel request
            done(i, &e, {});
            continue;
        }
        rowsBefore += run.rows;
        done(i, nullptr, run);
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
