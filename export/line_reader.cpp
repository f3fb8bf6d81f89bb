#include "export/line_reader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "export/split_export.h"
#include "platform/file_system.h"

namespace exporting {

LineReader::LineReader(const std::string& path, std::size_t blockSize) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw SplitError(SplitErrorText(errno));
    buffer_.resize(blockSize == 0 ? 1 : blockSize);
}

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool LineReader::fill() {
    if (atEnd_) return false;
    // Keep the unread bytes at the front; grow the buffer for a long line.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw SplitError(SplitErrorText(errno));
        }
        if (n == 0) {
            atEnd_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(n);
        fileRead_ += static_cast<std::uint64_t>(n);
        return true;
    }
}

bool LineReader::skipByteOrderMark() {
    while (end_ - begin_ < 3 && fill()) {
    }
    if (end_ - begin_ < 3 || std::memcmp(buffer_.data() + begin_, "\xEF\xBB\xBF", 3) != 0) return false;
    begin_ += 3;
    return true;
}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const void* hit = std::memchr(start + scanned_, '\n', end_ - begin_ - scanned_);
        if (hit != nullptr) {
            std::size_t length = static_cast<const char*>(hit) - start;
            const std::size_t consumed = length + 1;
            if (length > 0 && start[length - 1] == '\r') --length;
            line = std::string_view(start, length);
            begin_ += consumed;
            scanned_ = 0;
            return true;
        }
        scanned_ = end_ - begin_;
        if (!fill()) {
            if (begin_ == end_) return false;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);  // last line, no line end
            begin_ = end_;
            scanned_ = 0;
            return true;
        }
    }
}

}  // namespace exporting
