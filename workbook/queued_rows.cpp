#include "workbook/queued_rows.h"

#include <cstring>

#include "workbook/workbook_error.h"

namespace workbook {

void DirectRowSink::sharedString(std::size_t column, std::uint64_t index) {
    if (index >= strings_.size())
        throw refusal(Refusal::Damaged, workbookName_,
                      partName_ + ": a cell refers to shared string " + std::to_string(index) + " of " +
                          std::to_string(strings_.size()));
    writer_.cell(column).assign(strings_.at(index));
}

// A chunk is a run of operations: one letter, a number, and for a text its
// length and bytes.
namespace {

void appendNumber(std::string& chunk, std::uint64_t value) { chunk.append(reinterpret_cast<const char*>(&value), 8); }

std::uint64_t takeNumber(const char*& p) {
    std::uint64_t value;
    std::memcpy(&value, p, 8);
    p += 8;
    return value;
}

}  // namespace

void QueuedRowSink::put(char op, std::uint64_t a) {
    chunk_ += op;
    appendNumber(chunk_, a);
}

void QueuedRowSink::suggestWidth(std::size_t fields) { put('w', fields); }
void QueuedRowSink::emptyRows(std::uint64_t count) { put('e', count); }

void QueuedRowSink::text(std::size_t column, std::string_view text) {
    put('t', column);
    appendNumber(chunk_, text.size());
    chunk_ += text;
}

void QueuedRowSink::sharedString(std::size_t column, std::uint64_t index) {
    put('s', column);
    appendNumber(chunk_, index);
}

void QueuedRowSink::endRow() {
    chunk_ += 'r';
    if (chunk_.size() >= kQueueChunkBytes) handOn();
}

void QueuedRowSink::handOn() {
    if (!queue_.push(std::move(chunk_))) throw ReplayStopped{};
    chunk_.clear();
    chunk_.reserve(kQueueChunkBytes + 4096);
}

void QueuedRowSink::finish() {
    if (!chunk_.empty()) handOn();
    queue_.close();
}

void replayRows(RowQueue& queue, RowSink& sink) {
    while (std::optional<std::string> chunk = queue.pop()) {
        const char* p = chunk->data();
        const char* end = p + chunk->size();
        while (p < end) {
            switch (*p++) {
                case 'w':
                    sink.suggestWidth(takeNumber(p));
                    break;
                case 'e':
                    sink.emptyRows(takeNumber(p));
                    break;
                case 't': {
                    const std::uint64_t column = takeNumber(p);
                    const std::uint64_t size = takeNumber(p);
                    sink.text(column, std::string_view(p, size));
                    p += size;
                    break;
                }
                case 's': {
                    const std::uint64_t column = takeNumber(p);
                    sink.sharedString(column, takeNumber(p));
                    break;
                }
                case 'r':
                    sink.endRow();
                    break;
            }
        }
    }
}

}  // namespace workbook
