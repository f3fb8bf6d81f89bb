// Runs the rows of a table through per-thread workers.  With two threads the
// file is cut at a line end near its middle; the first thread reads up to the
// cut, the second from it.  Should the first thread find that a quoted field
// runs across the cut (so the cut was no row boundary), it drops the second
// thread's work and reads on to the end itself.  Results are merged in file
// order.  The observer is called only from the calling thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/table_source.h"
#include "engine/value.h"

namespace engine {

class ScanWorker {
public:
    virtual ~ScanWorker() = default;
    // One row of the table; false to stop the scan (enough rows).
    virtual bool process(const std::vector<Value>& fields) = 0;
    // Adds the results of the worker that read the later part of the file.
    virtual void merge(ScanWorker& later) = 0;
    // Called when the worker's part of the file has been read (rows held back
    // for batching are settled here); may be called more than once.
    virtual void finish() {}
};

struct ScanRequest {
    const TableSource* table = nullptr;
    std::size_t wanted = 0;            // leading fields each row needs
    bool allowParallel = true;         // false when the scan may stop early
    std::uint64_t parallelMinimum = 16u << 20;  // smaller files are read by one thread
    ScanObserver* observer = nullptr;
    // Creates the worker for part `part` (0 = the start of the file) of `parts`.
    std::function<std::unique_ptr<ScanWorker>(int part, int parts)> makeWorker;
};

// Returns the worker that holds the merged result.
std::unique_ptr<ScanWorker> runScan(const ScanRequest& request);

// Throws the Error of a cancelled statement.
[[noreturn]] void throwCancelled();

// Between two blocks too: every kStopCheckRows rows (or values of the
// distinct step's merge and ordering) the observer's stop request is asked.
constexpr std::size_t kStopCheckRows = std::size_t{1} << 16;
inline void checkStop(const ScanObserver* observer, std::size_t count) {
    if (observer && (count & (kStopCheckRows - 1)) == 0 && observer->stopRequested()) throwCancelled();
}

}  // namespace engine
