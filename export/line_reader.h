// Reads a file line by line in large blocks.  Only a line feed ends a line (a
// carriage return directly before it belongs to the line end); every other
// byte, a lone carriage return or 0x1A included, is part of the line.  The
// last line needs no line end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace exporting {

class LineReader {
public:
    // Opens path; throws SplitError on failure.
    explicit LineReader(const std::string& path, std::size_t blockSize = 1 << 20);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its line end, valid until the next call; false at
    // the end of the file.  Throws SplitError on a read failure.
    bool next(std::string_view& line);
    // Bytes of the file taken by the lines returned so far, line ends included.
    std::uint64_t consumed() const { return fileRead_ - (end_ - begin_); }

    // Before the first line: steps over a UTF-8 byte-order mark at the start
    // of the file and says whether there was one.
    bool skipByteOrderMark();

private:
    bool fill();  // reads more; false at the end of the file

    int fd_ = -1;
    std::string buffer_;
    std::size_t begin_ = 0;  // unread bytes are [begin_, end_)
    std::size_t end_ = 0;
    std::size_t scanned_ = 0;  // bytes after begin_ known to hold no line feed
    bool atEnd_ = false;
    std::uint64_t fileRead_ = 0;  // bytes read from the file
};

}  // namespace exporting
