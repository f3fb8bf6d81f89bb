// A file written through a large buffer in which every write and the close
// are checked: a full disk or a refused write is an exception, never a
// silently shortened file.  The bytes go to a temporary file beside the named
// one, which close() puts in place whole (platform::StagedFile): until then an
// earlier file of that name stays as it was, and a file dropped without
// close() (a failure, a cancelled run) leaves nothing behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/staged_file.h"

namespace csv {

// The mark that begins a UTF-8 result file of a list that had one.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// A failure of an output file.  what() is fit to show a person and names the
// file and the cause ("Cannot create file "PATH". CAUSE" or "Cannot write file
// "PATH". CAUSE"); errorNumber() is the system's code (0 when the path could
// not be named on the file system), for callers that choose their own text.
class OutputFileError : public std::runtime_error {
public:
    enum class Stage { Create, Write };
    OutputFileError(Stage stage, int errorNumber, const std::string& message)
        : std::runtime_error(message), stage_(stage), errorNumber_(errorNumber) {}
    Stage stage() const { return stage_; }
    int errorNumber() const { return errorNumber_; }

private:
    Stage stage_;
    int errorNumber_;
};

class OutputFile {
public:
    static constexpr std::size_t kDefaultBufferSize = 1 << 20;

    // Creates the temporary file for path through the file
    // system in force.
    explicit OutputFile(const std::string& path, std::size_t bufferSize = kDefaultBufferSize);
    // Without close(): the temporary file is removed, the named file untouched.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes);
    void write(char byte) {
        if (used_ == buffer_.size()) flush();
        buffer_[used_++] = byte;
    }
    // Room for n bytes (at most bufferCapacity()) at the end of the buffer,
    // handed on by commit(n); for writers that fill it in place.
    char* reserve(std::size_t n) {
        if (buffer_.size() - used_ < n) flush();
        return buffer_.data() + used_;
    }
    void commit(std::size_t n) { used_ += n; }
    std::size_t bufferCapacity() const { return buffer_.size(); }

    // Hands the buffer to the file, syncs it and puts it in place under its
    // name; throws on any failure (the named file then keeps what it held).
    // Without waitForDisk it is put in place unsynced (an intermediate file).
    void close(bool waitForDisk = true);
    // Hands the buffer to the file and closes it, complete but not yet in
    // place: for platform::StagedFile::commitAll with other files.  Throws on
    // a failure (the file is then dropped).
    std::unique_ptr<platform::StagedFile> finish();

    // Bytes handed to write() so far.
    std::uint64_t size() const { return written_ + used_; }
    const std::string& path() const { return path_; }

private:
    void flush();
    // Flushes, then ends the file with end(file); a failure drops the file.
    template <class End>
    void flushAnd(End&& end);
    // Writes all of the bytes to the file, counting them.
    void writeAll(const char* p, std::size_t left);

    std::string path_;
    std::unique_ptr<platform::StagedFile> file_;
    std::string buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace csv
