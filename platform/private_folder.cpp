#include "platform/private_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "platform/file_system.h"

namespace platform {

namespace {

const char* const kLockTail = ".lock";
// A lock file is made under this name, locked, then renamed into place, so
// that no other start can find it unlocked while it is being made.
const char* const kNewLockTail = ".lock-new";

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Each missing folder of dir made, readable by its owner only.
void makeFolders(const std::string& dir) {
    std::string made;
    std::size_t from = 0;
    while (from <= dir.size()) {
        const std::size_t slash = dir.find('/', from);
        const std::size_t end = slash == std::string::npos ? dir.size() : slash;
        made = dir.substr(0, end);
        from = end + 1;
        if (made.empty()) continue;
        if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) throw fileFailure("Cannot create folder", made, errno);
    }
    if (!directoryExists(dir)) throw fileFailure("Cannot create folder", dir, ENOTDIR);
}

std::vector<std::string> entriesOf(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    return names;
}

// The lock of an ended run, taken; -1 while its run goes on (or it is gone).
int takeAbandonedLock(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    struct stat held {}, named {};
    // Taken, and still the file of that name (another start may have removed
    // it meanwhile).
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && ::lstat(lockPath.c_str(), &named) == 0 &&
        held.st_ino == named.st_ino && held.st_dev == named.st_dev)
        return fd;
    ::close(fd);
    return -1;
}

std::string instanceName() {
    std::random_device random;
    char name[64];
    std::snprintf(name, sizeof name, "%ld-%08x", static_cast<long>(::getpid()), static_cast<unsigned>(random()));
    return name;
}

}  // namespace

std::string defaultPrivateRoot() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/')
        return joinPath(cache, "emailclean/tables");
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return joinPath(home, ".cache/emailclean/tables");
    return "/tmp/emailclean-" + std::to_string(::getuid()) + "/tables";
}

void removeTree(const std::string& dir) {
    for (const std::string& name : entriesOf(dir)) {
        const std::string path = joinPath(dir, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            removeTree(path);
        } else {
            try {
                FileSystem::current().removeFile(path);
            } catch (const FileError&) {
                // Stays for a later start.
            }
        }
    }
    ::rmdir(dir.c_str());
}

PrivateFolder::PrivateFolder(std::string root) : root_(std::move(root)) {}

PrivateFolder::~PrivateFolder() { remove(); }

const std::string& PrivateFolder::path() {
    if (!path_.empty()) return path_;
    makeFolders(root_);
    for (int attempt = 0;; ++attempt) {
        const std::string name = instanceName();
        const std::string lockPath = joinPath(root_, name + kLockTail);
        const std::string newLock = joinPath(root_, "." + name + kNewLockTail);
        const int fd = ::open(newLock.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST && attempt < 8) continue;
            throw fileFailure("Cannot create file", newLock, errno);
        }
        int failure = 0;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::rename(newLock.c_str(), lockPath.c_str()) != 0) failure = errno;
        const std::string dir = joinPath(root_, name);
        if (!failure && ::mkdir(dir.c_str(), 0700) != 0) failure = errno;
        if (failure) {
            ::unlink(newLock.c_str());
            ::unlink(lockPath.c_str());
            ::close(fd);
            if (failure == EEXIST && attempt < 8) continue;
            throw fileFailure("Cannot create folder", dir, failure);
        }
        lockFd_ = fd;
        path_ = dir;
        return path_;
    }
}

std::string PrivateFolder::subfolder(const std::string& name) {
    const std::string dir = joinPath(path(), name);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) throw fileFailure("Cannot create folder", dir, errno);
    return dir;
}

void PrivateFolder::remove() {
    if (path_.empty()) return;
    removeTree(path_);
    // The folder goes first, the lock last: a folder never stands unlocked.
    ::unlink((path_ + kLockTail).c_str());
    ::close(lockFd_);
    lockFd_ = -1;
    path_.clear();
}

void PrivateFolder::removeLeftovers(const std::string& root) {
    const std::vector<std::string> names = entriesOf(root);
    const std::time_t now = std::time(nullptr);
    for (const std::string& name : names) {
        const std::string path = joinPath(root, name);
        if (endsWith(name, kNewLockTail)) {
            // A start that ended while making its lock: given a minute, since
            // a start going on now holds it locked only a moment later.
            struct stat st {};
            if (::lstat(path.c_str(), &st) != 0 || now - st.st_mtime < 60) continue;
            const int fd = takeAbandonedLock(path);
            if (fd >= 0) {
                ::unlink(path.c_str());
                ::close(fd);
            }
            continue;
        }
        if (name.front() == '.' || !endsWith(name, kLockTail)) continue;
        const int fd = takeAbandonedLock(path);
        if (fd < 0) continue;
        removeTree(joinPath(root, name.substr(0, name.size() - std::string(kLockTail).size())));
        ::unlink(path.c_str());
        ::close(fd);
    }
}

}  // namespace platform
