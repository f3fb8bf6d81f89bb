// The file system as the tool sees it: paths are the file system's own names
// (UTF-8, the platform's text, like every text the tool composes); and one
// small interface through which every file the tool writes, renames or
// removes passes, so that tests can wrap it and fail a chosen call.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// An I/O failure; what() is a text fit to show a person.  errorNumber() is
// the system's code.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& message, int errorNumber = 0)
        : std::runtime_error(message), errorNumber_(errorNumber) {}
    int errorNumber() const { return errorNumber_; }

private:
    int errorNumber_;
};

// The one rule for the texts of file failures: action + " \"" + path + "\". " +
// the system's words for errorNumber, e.g. Cannot write file "/d/a.csv". No
// space left on device
FileError fileFailure(std::string_view action, std::string_view path, int errorNumber);

// A file open for writing.  Every call either does all it says or throws
// FileError ("Cannot write file ..."); the destructor closes without reporting.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual void append(std::string_view bytes) = 0;
    // Hands what the file holds to the disk (fsync).
    virtual void sync() = 0;
    // Gives the file the permissions of the file at path, and its owner
    // (or at least its group) where the process may: a file that will replace
    // a user's file keeps what the user set.  Nothing when there is none, and
    // nothing for a file that is not on disk (the default).
    virtual void keepAttributesOf(std::string_view path) { (void)path; }
    virtual void close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The file system in force: the real one unless a test installed another.
    static FileSystem& current();
    // Installs fs (nullptr: the real one again); returns the one it replaces.
    static FileSystem* install(FileSystem* fs);

    // Creates the file, or truncates an existing one ("Cannot create file ...").
    virtual std::unique_ptr<WritableFile> createFile(std::string_view path) = 0;
    // Replaces an existing target ("Cannot rename file "FROM" to "TO". CAUSE").
    virtual void renameFile(std::string_view from, std::string_view to) = 0;
    // A missing file is fine ("Cannot delete file ..." otherwise).
    virtual void removeFile(std::string_view path) = 0;
    // Size in bytes, or -1 when the file cannot be examined.
    virtual std::int64_t fileSize(std::string_view path) = 0;
    // A regular file of that name exists.
    virtual bool fileExists(std::string_view path) = 0;
    // Hands the folder's entries (a rename into it) to the disk (fsync of the
    // folder; "Cannot write folder ...").
    virtual void syncDirectory(std::string_view path) = 0;
    // Hands everything written to the folder's file system to the disk at
    // once (syncfs): one wait for many files ("Cannot write folder ...").
    virtual void syncFileSystem(std::string_view folder) = 0;
};

// Forwards every call to another file system; a test double overrides the
// calls it wants to fail.
class FileSystemWrapper : public FileSystem {
public:
    explicit FileSystemWrapper(FileSystem& target) : target_(target) {}
    FileSystem& target() const { return target_; }

    std::unique_ptr<WritableFile> createFile(std::string_view path) override { return target_.createFile(path); }
    void renameFile(std::string_view from, std::string_view to) override { target_.renameFile(from, to); }
    void removeFile(std::string_view path) override { target_.removeFile(path); }
    std::int64_t fileSize(std::string_view path) override { return target_.fileSize(path); }
    bool fileExists(std::string_view path) override { return target_.fileExists(path); }
    void syncDirectory(std::string_view path) override { target_.syncDirectory(path); }
    void syncFileSystem(std::string_view path) override { target_.syncFileSystem(path); }

private:
    FileSystem& target_;
};

// The file system in force for the lifetime of the guard.
class ScopedFileSystem {
public:
    explicit ScopedFileSystem(FileSystem& fs) : previous_(FileSystem::install(&fs)) {}
    ~ScopedFileSystem() { FileSystem::install(previous_); }
    ScopedFileSystem(const ScopedFileSystem&) = delete;
    ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

private:
    FileSystem* previous_;
};

// Shorthands for the file system in force.
bool fileExists(std::string_view path);
// Returns false when the file could not be removed (or did not exist).
bool removeFile(std::string_view path);
// Replaces an existing target; returns false on failure.
bool renameFile(std::string_view from, std::string_view to);
// Size in bytes, or -1 when the file cannot be examined.
std::int64_t fileSize(std::string_view path);

bool directoryExists(std::string_view path);

// Directory and file name parts of a path, split at the last "/"; a file in
// the root directory gives the directory "/".
std::string directoryOf(std::string_view path);
std::string fileNameOf(std::string_view path);
// dir + "/" + name, without doubling a separator that dir already ends with.
std::string joinPath(std::string_view dir, std::string_view name);

// The text of errno as the system describes it, e.g. "No space left on device".
std::string systemErrorText(int errorNumber);

}  // namespace platform
