#include "csv/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace csv {

OutputFile::OutputFile(const std::string& gbkPath, std::size_t bufferSize) : path_(gbkPath) {
    std::string native;
    try {
        native = platform::nativePath(gbkPath);
    } catch (const platform::FileError& e) {
        throw OutputFileError(OutputFileError::Stage::Create, 0,
                              "Cannot create file \"" + gbkPath + "\". " + e.what());
    }
    fd_ = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        const int error = errno;
        throw OutputFileError(OutputFileError::Stage::Create, error,
                              "Cannot create file \"" + gbkPath + "\". " +
                                  platform::systemErrorText(error));
    }
    buffer_.resize(bufferSize == 0 ? 1 : bufferSize);
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void OutputFile::write(std::string_view bytes) {
    if (bytes.size() >= buffer_.size()) {
        // A piece larger than the buffer goes straight to the file.
        flush();
        writeAll(bytes.data(), bytes.size());
        return;
    }
    if (buffer_.size() - used_ < bytes.size()) flush();
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void OutputFile::flush() {
    writeAll(buffer_.data(), used_);
    used_ = 0;
}

void OutputFile::writeAll(const char* p, std::size_t left) {
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        // A short write is retried with the rest; the retry reports the cause.
        p += n;
        left -= static_cast<std::size_t>(n);
        written_ += static_cast<std::uint64_t>(n);
    }
}

void OutputFile::close() {
    if (fd_ < 0) return;
    try {
        flush();
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) fail(errno);
}

void OutputFile::fail(int errorNumber) {
    used_ = 0;  // what could not be written is dropped, never retried at close
    throw OutputFileError(OutputFileError::Stage::Write, errorNumber,
                          "Cannot write file \"" + path_ + "\". " +
                              platform::systemErrorText(errorNumber));
}

}  // namespace csv
