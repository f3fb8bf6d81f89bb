#include "platform/staged_file.h"

#include <dirent.h>
#include <sys/stat.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

namespace {

constexpr std::string_view kSuffix = ".partial";
constexpr std::size_t kNameMax = 255;  // bytes of one name in a folder (NAME_MAX)

// A failure on the temporary file, told in the words of the final one: the
// user knows the file by that name.
FileError onFinalName(std::string_view action, const std::string& finalPath, const FileError& e) {
    if (e.errorNumber() == 0) return e;
    return fileFailure(action, finalPath, e.errorNumber());
}

std::string folderOf(std::string_view path) {
    std::string folder = directoryOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// The process id a temporary name carries, or 0 when the name is not one of ours.
pid_t ownerOf(std::string_view name) {
    if (name.size() <= 1 + kSuffix.size() || name.front() != '.') return 0;
    if (name.substr(name.size() - kSuffix.size()) != kSuffix) return 0;
    const std::string_view stem = name.substr(0, name.size() - kSuffix.size());
    const auto dot = stem.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == stem.size()) return 0;
    long long pid = 0;
    for (const char c : stem.substr(dot + 1)) {
        if (c < '0' || c > '9' || pid > 100000000) return 0;
        pid = pid * 10 + (c - '0');
    }
    return static_cast<pid_t>(pid);
}

// A device, pipe or socket under the final name is written to directly, as
// it always was: a rename would put a plain file in its place.
bool specialFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool stillRunning(pid_t pid) {
    if (pid == ::getpid()) return false;
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

}  // namespace

std::string temporaryPathFor(std::string_view finalPath) {
    std::string stem = fileNameOf(finalPath);
    const std::string tail = "." + std::to_string(::getpid()) + std::string(kSuffix);
    if (1 + stem.size() + tail.size() > kNameMax) {
        // A final name near the limit would not leave room for the marks: the
        // stem is cut (at a character's start) and told apart from other cut
        // stems by a hash of the whole name.
        std::uint32_t hash = 2166136261u;  // FNV-1a
        for (const char c : stem) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        char mark[10];
        std::snprintf(mark, sizeof mark, "~%08x", hash);
        std::size_t keep = kNameMax - 1 - tail.size() - (sizeof mark - 1);
        while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80) --keep;
        stem = stem.substr(0, keep) + mark;
    }
    const std::string name = "." + stem + tail;
    const std::string folder = directoryOf(finalPath);
    return folder.empty() ? name : joinPath(folder, name);
}

StagedFile::StagedFile(std::string finalPath)
    : finalPath_(std::move(finalPath)), direct_(specialFile(finalPath_)) {
    temporaryPath_ = direct_ ? finalPath_ : temporaryPathFor(finalPath_);
    try {
        file_ = FileSystem::current().createFile(temporaryPath_);
    } catch (const FileError& e) {
        throw onFinalName("Cannot create file", finalPath_, e);
    }
}

StagedFile::~StagedFile() {
    if (!committed_) discard();
}

void StagedFile::append(std::string_view bytes) {
    if (!file_) throw FileError("Cannot write file \"" + finalPath_ + "\".");
    try {
        file_->append(bytes);
    } catch (const FileError& e) {
        throw onFinalName("Cannot write file", finalPath_, e);
    }
}

void StagedFile::commit(bool waitForDisk) {
    if (committed_) return;
    if (!file_) throw FileError("Cannot write file \"" + finalPath_ + "\".");
    FileSystem& fs = FileSystem::current();
    if (direct_) {
        file_->close();
        file_.reset();
        committed_ = true;
        return;
    }
    try {
        if (waitForDisk) file_->sync();
        file_->close();
        file_.reset();
    } catch (const FileError& e) {
        discard();
        throw onFinalName("Cannot write file", finalPath_, e);
    }
    try {
        fs.renameFile(temporaryPath_, finalPath_);
    } catch (const FileError& e) {
        // The file could not be made under its name (a folder stands there,
        // say): told as its creation failing.
        discard();
        throw onFinalName("Cannot create file", finalPath_, e);
    }
    committed_ = true;
    if (waitForDisk) fs.syncDirectory(folderOf(finalPath_));
}

void StagedFile::close() {
    if (!file_) return;
    try {
        file_->close();
        file_.reset();
    } catch (const FileError& e) {
        discard();
        throw onFinalName("Cannot write file", finalPath_, e);
    }
}

void StagedFile::commitAll(std::vector<std::unique_ptr<StagedFile>>& closedFiles) {
    std::vector<std::unique_ptr<StagedFile>> files;
    files.swap(closedFiles);  // emptied either way; the files left over are dropped
    if (files.empty()) return;
    FileSystem& fs = FileSystem::current();
    std::vector<std::string> folders;
    for (const auto& file : files) {
        file->close();
        const std::string folder = folderOf(file->finalPath_);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    for (const auto& folder : folders) fs.syncFileSystem(folder);
    for (const auto& file : files) {
        if (file->direct_) {
            file->committed_ = true;
            continue;
        }
        try {
            fs.renameFile(file->temporaryPath_, file->finalPath_);
        } catch (const FileError& e) {
            throw onFinalName("Cannot create file", file->finalPath_, e);
        }
        file->committed_ = true;
    }
    for (const auto& folder : folders) fs.syncDirectory(folder);
}

void StagedFile::discard() noexcept {
    file_.reset();
    if (direct_) return;
    try {
        FileSystem::current().removeFile(temporaryPath_);
    } catch (...) {
        // Left for the next run in this folder to remove.
    }
}

int removeLeftoverTemporaries(std::string_view folderText) {
    const std::string folder = folderText.empty() ? std::string(".") : std::string(folderText);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = ownerOf(entry->d_name);
        if (owner <= 0 || stillRunning(owner)) continue;
        try {
            FileSystem::current().removeFile(joinPath(folder, entry->d_name));
            ++removed;
        } catch (const FileError&) {
            // A file we may not remove: not ours to force.
        }
    }
    ::closedir(dir);
    return removed;
}

}  // namespace platform
