// Steps shared by the export operations: where their files go, how a table in
// the output directory is named for the engine, and running one statement into
// one file through the shared result set.
#pragma once

#include <string>

#include "export/export_run.h"

namespace exporting {

// outputDir + "/" + BaseName + suffix.
std::string OutputPath(const ExportRun& ctx, const std::string& suffix);

// The engine's table name for a file of the output directory: the bare name
// when the output directory is the source directory (where the connections
// are bound), otherwise the absolute path.
std::string OutputTableName(const ExportRun& ctx, const std::string& fileName);

// Closes the shared result set, binds it to conn, runs sql, writes its rows
// to path when there is at least one, and closes it again; returns whether
// the file was written.  Throws the engine's or the writer's failure (the
// result set is then closed).
bool RunIntoFile(ExportRun& ctx, engine::Connection& conn, const std::string& sql,
                 const std::string& path);

void CloseSharedResult(ExportRun& ctx);

// Removes path; a missing file is fine.  Throws platform::FileError
// ("Cannot delete file "PATH". CAUSE") when the file stays.
void RemoveExistingFile(const std::string& path);

// Renames from to to, replacing to; throws platform::FileError
// ("Cannot rename file "FROM" to "TO". CAUSE") on failure.
void RenameExistingFile(const std::string& from, const std::string& to);

}  // namespace exporting
