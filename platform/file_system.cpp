#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

class PosixWritableFile : public WritableFile {
public:
    PosixWritableFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~PosixWritableFile() override {
        if (fd_ >= 0) ::close(fd_);
    }

    void append(std::string_view bytes) override {
        const char* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                throw fileFailure("Cannot write file", path_, errno);
            }
            // A short write is retried with the rest; the retry reports the cause.
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }

    void sync() override {
        if (::fsync(fd_) != 0) throw fileFailure("Cannot write file", path_, errno);
    }

    void keepAttributesOf(std::string_view original) override {
        struct stat st {};
        if (::stat(std::string(original).c_str(), &st) != 0) return;
        // Owner first: changing it may clear set-id bits, which chmod then restores.
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
            if (errno != EPERM) throw fileFailure("Cannot write file", path_, errno);
            if (::fchown(fd_, static_cast<uid_t>(-1), st.st_gid) != 0 && errno != EPERM)
                throw fileFailure("Cannot write file", path_, errno);
        }
        if (::fchmod(fd_, st.st_mode & 07777) != 0) throw fileFailure("Cannot write file", path_, errno);
    }

    void close() override {
        if (fd_ < 0) return;
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) throw fileFailure("Cannot write file", path_, errno);
    }

private:
    std::string path_;
    int fd_;
};

class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<WritableFile> createFile(std::string_view path) override {
        const std::string name(path);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) throw fileFailure("Cannot create file", path, errno);
        return std::make_unique<PosixWritableFile>(name, fd);
    }

    void renameFile(std::string_view from, std::string_view to) override {
        if (std::rename(std::string(from).c_str(), std::string(to).c_str()) != 0)
            throw fileFailure("Cannot rename file \"" + std::string(from) + "\" to", to, errno);
    }

    void removeFile(std::string_view path) override {
        if (::unlink(std::string(path).c_str()) != 0 && errno != ENOENT)
            throw fileFailure("Cannot delete file", path, errno);
    }

    std::int64_t fileSize(std::string_view path) override {
        struct stat st {};
        if (::stat(std::string(path).c_str(), &st) != 0) return -1;
        return static_cast<std::int64_t>(st.st_size);
    }

    bool fileExists(std::string_view path) override {
        struct stat st {};
        return ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    void syncDirectory(std::string_view path) override {
        // Some file systems cannot sync a folder; their renames are as safe as they get.
        syncFolder(path, ::fsync, {EINVAL, ENOTSUP});
    }

    void syncFileSystem(std::string_view path) override { syncFolder(path, ::syncfs, {}); }

private:
    // sync on the folder's descriptor; the causes listed are not failures.
    static void syncFolder(std::string_view path, int (*sync)(int), std::initializer_list<int> harmless) {
        const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) throw fileFailure("Cannot write folder", path, errno);
        const int result = sync(fd);
        const int cause = errno;
        ::close(fd);
        if (result != 0 && std::find(harmless.begin(), harmless.end(), cause) == harmless.end())
            throw fileFailure("Cannot write folder", path, cause);
    }
};

PosixFileSystem& realFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

std::atomic<FileSystem*> installed{nullptr};

}  // namespace

FileError fileFailure(std::string_view action, std::string_view path, int errorNumber) {
    return FileError(std::string(action) + " \"" + std::string(path) + "\". " + systemErrorText(errorNumber),
                     errorNumber);
}

FileSystem& FileSystem::current() {
    FileSystem* fs = installed.load();
    return fs ? *fs : realFileSystem();
}

FileSystem* FileSystem::install(FileSystem* fs) { return installed.exchange(fs); }

bool fileExists(std::string_view path) { return FileSystem::current().fileExists(path); }

bool removeFile(std::string_view path) {
    FileSystem& fs = FileSystem::current();
    try {
        if (!fs.fileExists(path)) return false;
        fs.removeFile(path);
        return true;
    } catch (const FileError&) {
        return false;
    }
}

bool renameFile(std::string_view from, std::string_view to) {
    try {
        FileSystem::current().renameFile(from, to);
        return true;
    } catch (const FileError&) {
        return false;
    }
}

std::int64_t fileSize(std::string_view path) { return FileSystem::current().fileSize(path); }

bool directoryExists(std::string_view path) {
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string directoryOf(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string fileNameOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string systemErrorText(int errorNumber) {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not live in buffer.
    return ::strerror_r(errorNumber, buffer, sizeof buffer);
}

}  // namespace platform
