// Steps shared by the export operations: where their files go, how a table in
// the output directory is named for the engine, and running one statement into
// one file through the shared result set.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "export/export_run.h"

namespace exporting {

// outputDir + "/" + BaseName + suffix.
std::string OutputPath(const ExportRun& ctx, const std::string& suffix);

// The engine's table name for a file of the output directory: the bare name
// when the output directory is the folder the connections are opened on
// (the source file's, or a workbook copy's), otherwise the absolute path.
// Statements put it in brackets with conditions::BracketedName.
std::string OutputTableName(const ExportRun& ctx, const std::string& fileName);

// Whether two folder names are the same folder name (a trailing "/" aside).
bool SameDirectory(const std::string& a, const std::string& b);
// A relative folder taken from the working directory, so that the engine,
// which resolves bare names in its own directory, finds it.
std::string AbsoluteDirectory(const std::string& dir);

// Closes the shared result set, binds it to conn and runs sql with the run's
// progress watching the scan.  Throws the engine's failure (the result set is
// then closed); a statement stopped by the cancel request, or any failure
// once the run is cancelled, ends the run as platform::OperationCancelled.
void OpenSharedResult(ExportRun& ctx, engine::Connection& conn, const std::string& sql);

// What a statement run into a file came to.
struct StatementRun {
    std::size_t rows = 0;        // rows written; 0: no file written
    std::uint64_t matched = 0;   // rows its where clause let through
};

// OpenSharedResult, then the rows written to path when there is at least one
// (the cancel request checked as they are written), and the result set closed
// again.  Throws the engine's or the writer's failure, or OperationCancelled;
// the result set is then closed and path keeps what it held.  An
// intermediate file (read and removed by the same run) is not synced.
StatementRun RunIntoFile(ExportRun& ctx, engine::Connection& conn, const std::string& sql,
                         const std::string& path, bool intermediate = false);

struct StatementIntoFile {
    std::string sql;
    std::string path;
    std::string title;  // the progress text while its file is written ("" keeps the text)
};

// RunIntoFile for each job in turn, the statements run as one batch of the
// engine (those over the same table share one scan of it, the progress
// watching it): the same files, written in the same order.  done(i, failure,
// run) follows job i in turn, failure null when its file was written or the
// result had no rows; a failed job (the result set then closed) does not stop
// the others.  A cancel request ends the batch as platform::OperationCancelled
// (checked before each file and as it is written).
void RunBatchIntoFiles(ExportRun& ctx, engine::Connection& conn, const std::vector<StatementIntoFile>& jobs,
                       const std::function<void(std::size_t, const std::exception*, const StatementRun&)>& done);

// Weighs the progress bar anew after a change of ctx.plan.
void Replan(ExportRun& ctx);

// A file's size in bytes; 0 when there is none.
std::uint64_t FileBytes(const std::string& path);

void CloseSharedResult(ExportRun& ctx);

// Removes path; a missing file is fine.  Throws platform::FileError
// ("Cannot delete file "PATH". CAUSE") when the file stays.
void RemoveExistingFile(const std::string& path);

// Renames from to to, replacing to, and syncs the folder; throws
// platform::FileError ("Cannot rename file "FROM" to "TO". CAUSE") on failure.
void RenameExistingFile(const std::string& from, const std::string& to);

}  // namespace exporting
