// Turns a UTF-16 file into UTF-8 as it is read, a block at a time: the table
// reader reads UTF-16 tables through this and then treats them as UTF-8.
// A surrogate pair is one character even when a block ends between its
// halves; a half without its partner, and an odd last byte, become U+FFFD.
// Hot path: runs of units below 0x80 are taken eight at a time; the unit by
// unit loop beside it is the plain form (tests give both to every kind of
// text).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/table_bytes.h"

namespace engine {

class Utf16Decoder {
public:
    // Reads the table's bytes from offset start (after the byte-order mark) to size.
    Utf16Decoder(TableBytes bytes, bool bigEndian, std::uint64_t start, std::uint64_t size);

    // Writes the UTF-8 text of the next characters to dest, whole characters
    // while they fit into room bytes; returns the number of bytes written.
    // With room >= 4, 0 means the end of the file.
    std::size_t read(char* dest, std::size_t room);

    // Skips n bytes of UTF-8 text (n ends at a character boundary).
    void skip(std::uint64_t n);

    // File offset up to which the file has been read.
    std::uint64_t fileOffset() const { return readOffset_; }

    // At most how many bytes of UTF-8 text are still to come (a UTF-16 unit
    // becomes at most three bytes), at least 64.
    std::uint64_t textLeftEstimate() const { return (size_ - readOffset_ + (end_ - pos_)) / 2 * 3 + 64; }

    // A decoder of the same file at its start.
    Utf16Decoder restarted() const { return Utf16Decoder(bytes_, bigEndian_, start_, size_); }

    static constexpr std::size_t kChunk = 1u << 20;  // bytes of the file read at a time

private:
    // Makes at least `need` bytes available when the file still has them;
    // returns the number available.
    std::size_t fill(std::size_t need);
    // Eight units at p, when each is below 0x80, written to dest as bytes; else false.
    bool asciiUnits(const unsigned char* p, char* dest) const;
    char32_t unit(const unsigned char* p) const {
        return bigEndian_ ? static_cast<char32_t>(p[0] << 8 | p[1]) : static_cast<char32_t>(p[1] << 8 | p[0]);
    }

    TableBytes bytes_;
    bool bigEndian_;
    std::uint64_t start_;
    std::uint64_t readOffset_;
    std::uint64_t size_;
    std::vector<unsigned char> raw_;
    std::size_t pos_ = 0;  // next unread byte in raw_
    std::size_t end_ = 0;  // end of the bytes in raw_
};

}  // namespace engine
