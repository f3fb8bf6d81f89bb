// A file system double that fails a chosen call: the n-th call of one kind
// (counted from 1 while the double is installed), or that call and every
// later one of its kind, fails with errno; every other call reaches the real
// file system.  Paths of the calls are recorded.
#pragma once

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace testsupport {

class FaultyFileSystem : public platform::FileSystemWrapper {
public:
    enum class Call { Create, Append, Sync, Close, Rename, Remove, SyncDirectory, SyncFileSystem };

    FaultyFileSystem() : platform::FileSystemWrapper(platform::FileSystem::current()) {}

    // Fails the n-th call of that kind with errorNumber.
    void failAt(Call call, int n, int errorNumber = ENOSPC) {
        call_ = call;
        failAt_ = n;
        errorNumber_ = errorNumber;
        onwards_ = false;
    }
    // Fails the n-th call of that kind and every later one (a disk that
    // became full).
    void failFrom(Call call, int n, int errorNumber = ENOSPC) {
        failAt(call, n, errorNumber);
        onwards_ = true;
    }

    std::vector<std::string> created, renamedTo, removed, synced, syncedDirectories, syncedFileSystems;
    // How many calls of that kind were made so far.
    int calls(Call call) const { return counts_[static_cast<int>(call)]; }

    std::unique_ptr<platform::WritableFile> createFile(std::string_view path) override {
        created.emplace_back(path);
        check(Call::Create, path, "Cannot create file");
        return std::make_unique<File>(*this, std::string(path), target().createFile(path));
    }
    void renameFile(std::string_view from, std::string_view to) override {
        renamedTo.emplace_back(to);
        check(Call::Rename, to, "Cannot rename file \"" + std::string(from) + "\" to");
        target().renameFile(from, to);
    }
    void removeFile(std::string_view path) override {
        removed.emplace_back(path);
        check(Call::Remove, path, "Cannot delete file");
        target().removeFile(path);
    }
    void syncDirectory(std::string_view path) override {
        syncedDirectories.emplace_back(path);
        check(Call::SyncDirectory, path, "Cannot write folder");
        target().syncDirectory(path);
    }
    void syncFileSystem(std::string_view path) override {
        syncedFileSystems.emplace_back(path);
        check(Call::SyncFileSystem, path, "Cannot write folder");
        target().syncFileSystem(path);
    }

private:
    class File : public platform::WritableFile {
    public:
        File(FaultyFileSystem& fs, std::string path, std::unique_ptr<platform::WritableFile> real)
            : fs_(fs), path_(std::move(path)), real_(std::move(real)) {}
        void append(std::string_view bytes) override {
            fs_.check(Call::Append, path_, "Cannot write file");
            real_->append(bytes);
        }
        void sync() override {
            fs_.synced.push_back(path_);
            fs_.check(Call::Sync, path_, "Cannot write file");
            real_->sync();
        }
        void keepAttributesOf(std::string_view original) override { real_->keepAttributesOf(original); }
        void close() override {
            fs_.check(Call::Close, path_, "Cannot write file");
            real_->close();
        }

    private:
        FaultyFileSystem& fs_;
        std::string path_;
        std::unique_ptr<platform::WritableFile> real_;
    };

    void check(Call call, std::string_view path, const std::string& action) {
        const int index = static_cast<int>(call);
        const int count = ++counts_[index];
        if (call == call_ && (count == failAt_ || (onwards_ && count > failAt_)))
            throw platform::fileFailure(action, path, errorNumber_);
    }

    int counts_[8] = {};
    Call call_ = Call::Create;
    int failAt_ = 0;
    bool onwards_ = false;
    int errorNumber_ = ENOSPC;
};

}  // namespace testsupport
