// Reads the rows of a delimited file in large blocks, without an allocation
// per row.  Only the first `wanted` fields of a row are picked out; the rest
// of the line is skipped with memchr.  Every structural byte (separator, line
// feed, carriage return, double quote) is below 0x40 and so never the trail
// byte of a double-byte character, which makes the byte-wise scan safe (in
// UTF-8, every byte of a multi-byte character is 0x80 or above).
//
// A UTF-16 file is read through a Utf16Decoder: the reader then sees its
// UTF-8 text, and its offsets count bytes of that text (0 = the first
// character after the byte-order mark); progress still counts file bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/table_bytes.h"
#include "engine/utf16_decoder.h"
#include "engine/value.h"

namespace engine {

class CsvReader {
public:
    // Reads the table's bytes from offset begin; rows that start at or after
    // stopAt are not read (stopAt = the file size reads to the end).
    // displayName names the file in messages.
    CsvReader(TableBytes bytes, std::string displayName, char separator, std::uint64_t begin, std::uint64_t stopAt,
              std::uint64_t fileSize);
    // Reads the UTF-8 text that decoder gives (it must be at its start) from
    // the text offset begin (a line start) to the end.
    CsvReader(std::unique_ptr<Utf16Decoder> decoder, std::string displayName, char separator, std::uint64_t begin);

    // Number of leading fields to pick out of each row.
    void setWanted(std::size_t wanted) { wanted_ = wanted; }
    // Called after each block read with the file offset read up to.
    void setBlockHook(std::function<void(std::uint64_t)> hook) { hook_ = std::move(hook); }

    // Moves to the next row; false at the end.  Throws Error for a quoted
    // field that is never closed.
    bool next();

    // Fields of the current row, up to wanted; a row with fewer fields has
    // fewer entries (the missing ones are null).  Empty fields are null.
    const std::vector<Value>& fields() const { return fields_; }
    // Total number of fields the current row has, when wanted covered them all.
    std::size_t fieldCount() const { return fieldCount_; }

    // File offset just after the last row read.
    std::uint64_t offset() const { return bufferOffset_ + static_cast<std::uint64_t>(cur_); }
    void setStopAt(std::uint64_t stopAt) { stopAt_ = stopAt; }

    static constexpr std::size_t kBlockSize = 8u << 20;
    // Bytes after the sentinel line feed that block-wise searches may read.
    static constexpr std::size_t kPadding = 16;

private:
    enum class Parse { Row, NeedMore };
    Parse parseRow(bool atEof);
    bool refill();
    [[noreturn]] void unterminatedQuote(std::size_t quoteIndex) const;

    struct FieldRef {
        std::uint32_t offset;
        std::uint32_t size;
        bool inScratch;
    };

    TableBytes bytes_;
    std::string displayName_;
    char separator_;
    std::uint64_t stopAt_;
    std::uint64_t fileSize_;
    std::uint64_t readOffset_;       // next file offset to read into the buffer
    std::uint64_t bufferOffset_;     // file offset of buffer_[0]
    std::vector<char> buffer_;       // data plus one sentinel line feed, then kPadding bytes
    std::size_t cur_ = 0;            // start of the next row in buffer_
    std::size_t end_ = 0;            // end of valid data in buffer_
    std::size_t wanted_ = 0;
    bool structural_[256] = {};
    std::vector<FieldRef> refs_;
    std::string scratch_;            // fields whose text had to be rewritten (quotes)
    std::vector<Value> fields_;
    std::size_t fieldCount_ = 0;
    std::function<void(std::uint64_t)> hook_;
    std::unique_ptr<Utf16Decoder> decoder_;  // for a UTF-16 file; null for bytes read as they are
};

// 1-based number of the line that contains the byte at offset.
std::uint64_t lineNumberAt(const TableBytes& bytes, std::uint64_t offset);
// The same for a text offset of a UTF-16 file; decoder must be at its start.
std::uint64_t lineNumberAt(Utf16Decoder& decoder, std::uint64_t offset);

}  // namespace engine
