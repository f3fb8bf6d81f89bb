// The rows of a sheet read while another thread still reads the shared
// strings: each row is put into chunks of a bounded queue (at most
// kQueuedBytes ahead; the reading thread waits beyond), and the other
// thread replays them into a DirectRowSink once the strings are known.
// The two parts of an .xlsx are so read at the same time, on two cores.
#pragma once

#include <string>

#include "workbook/bounded_queue.h"
#include "workbook/row_sink.h"

namespace workbook {

constexpr std::size_t kQueueChunkBytes = 1u << 20;
constexpr std::size_t kQueuedBytes = 64u << 20;

using RowQueue = BoundedQueue<std::string>;

class QueuedRowSink : public RowSink {
public:
    explicit QueuedRowSink(RowQueue& queue) : queue_(queue) {}

    void suggestWidth(std::size_t fields) override;
    void emptyRows(std::uint64_t count) override;
    void text(std::size_t column, std::string_view text) override;
    void sharedString(std::size_t column, std::uint64_t index) override;
    void endRow() override;
    // Hands on the last chunk and closes the queue.
    void finish();

    // Thrown when the replaying side has closed the queue: it stopped, and
    // what stopped it is what to report.
    struct ReplayStopped {};

private:
    void put(char op, std::uint64_t a);
    void handOn();

    RowQueue& queue_;
    std::string chunk_;
};

// Replays the queued rows into sink until the queue ends.
void replayRows(RowQueue& queue, RowSink& sink);

}  // namespace workbook
