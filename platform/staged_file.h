// A result file written whole or not at all.  The bytes go to a temporary file
// beside the final one, named ".NAME.PID.partial"; only when it is complete is
// it handed to the disk (fsync) and renamed over the final name, and the
// folder synced after the rename.  Until then an earlier file of the final
// name stays as it was; a file dropped before commit() leaves nothing behind.
// A killed run leaves its temporary file, which the next run in that folder
// removes (removeLeftoverTemporaries).  Every call goes through the file
// system in force, so tests can fail any of them.  A device, pipe or socket
// standing under the final name is written directly, never replaced.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace platform {

class StagedFile {
public:
    // Creates the temporary file; throws FileError
    // ("Cannot create file "FINAL". CAUSE").
    explicit StagedFile(std::string finalPath);
    // Without commit(): closes and removes the temporary file, reporting nothing.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Throws FileError ("Cannot write file "FINAL". CAUSE").
    void append(std::string_view bytes);
    // Syncs and closes the temporary file, renames it over the final name and
    // syncs the folder.  On a failure the temporary file is removed and the
    // final name keeps what it held; throws FileError ("Cannot write file
    // "FINAL". CAUSE", or "Cannot create file ..." when the rename fails).
    // Without waitForDisk nothing is synced: for an intermediate file that
    // the same run reads and removes, and no later run takes for a result.
    void commit(bool waitForDisk = true);

    // Many small files (the parts of a split) are put in place together:
    // close() each when it is complete, then commitAll() syncs their file
    // system once, renames each over its final name in order and syncs each
    // folder once, instead of waiting for the disk file by file.
    void close();
    // On a failure the files not yet in place are removed and FileError is
    // thrown.  The list is emptied either way.
    static void commitAll(std::vector<std::unique_ptr<StagedFile>>& closedFiles);

    const std::string& path() const { return finalPath_; }
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    void discard() noexcept;

    std::string finalPath_;
    std::string temporaryPath_;
    std::unique_ptr<WritableFile> file_;
    bool direct_ = false;  // the final name is a device, pipe or socket
    bool committed_ = false;
};

// The temporary name for a final path: ".NAME.PID.partial" in its folder;
// for a NAME too long to take the marks, NAME cut short and a hash of it.
std::string temporaryPathFor(std::string_view finalPath);

// Removes from a folder the temporary files that killed runs of this tool
// left: names ".<anything>.<PID>.partial" whose process no longer runs (or is
// this process: it has no file open between operations).  Failures are
// ignored; returns how many were removed.
int removeLeftoverTemporaries(std::string_view folder);

}  // namespace platform
