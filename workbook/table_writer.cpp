#include "workbook/table_writer.h"

#include <algorithm>
#include <cstring>

namespace workbook {

namespace {
constexpr std::size_t kBufferSize = 1u << 20;
}

TableWriter::TableWriter(platform::WritableFile& out, std::size_t firstLineFields)
    : out_(out), firstLineFields_(firstLineFields) {
    buffer_.reserve(kBufferSize + 4096);
    buffer_ = "\xEF\xBB\xBF";
}

std::string& TableWriter::cell(std::size_t column) {
    if (column >= cells_.size()) cells_.resize(column + 1);
    rowWidth_ = std::max(rowWidth_, column + 1);
    return cells_[column];
}

void TableWriter::endRow() {
    std::size_t width = rowWidth_;
    while (width > 0 && cells_[width - 1].empty()) --width;
    if (width == 0) {
        ++pendingEmptyRows_;
    } else {
        for (; pendingEmptyRows_ > 0; --pendingEmptyRows_) writeLine(0);
        widestRow_ = std::max(widestRow_, width);
        writeLine(width);
    }
    for (std::size_t i = 0; i < rowWidth_; ++i) cells_[i].clear();
    rowWidth_ = 0;
}

void TableWriter::writeLine(std::size_t fields) {
    if (rows_ == 0) {
        firstLineWidth_ = std::max(fields, firstLineFields_);
        for (std::size_t i = 0; i < firstLineWidth_; ++i) {
            if (i > 0) buffer_ += ',';
            if (i < fields) appendField(cells_[i]);
        }
    } else {
        for (std::size_t i = 0; i < fields; ++i) {
            if (i > 0) buffer_ += ',';
            appendField(cells_[i]);
        }
    }
    buffer_ += "\r\n";
    ++rows_;
    flushIfFull();
}

void TableWriter::appendField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        buffer_ += text;
        return;
    }
    buffer_ += '"';
    for (const char c : text) {
        if (c == '"') buffer_ += '"';
        buffer_ += c;
    }
    buffer_ += '"';
}

void TableWriter::flushIfFull() {
    if (buffer_.size() < kBufferSize) return;
    out_.append(buffer_);
    buffer_.clear();
}

void TableWriter::finish() {
    pendingEmptyRows_ = 0;
    if (!buffer_.empty()) out_.append(buffer_);
    buffer_.clear();
}

}  // namespace workbook
