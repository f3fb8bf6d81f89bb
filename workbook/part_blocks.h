// A part of the package as a run of blocks of inflated bytes, read in the
// caller's thread or, with readAhead, a few blocks ahead by a thread of its
// own (so that inflating overlaps parsing on a second core).
#pragma once

#include <exception>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "workbook/bounded_queue.h"
#include "workbook/zip_package.h"

namespace workbook {

class PartBlocks {
public:
    PartBlocks(std::unique_ptr<PartStream> part, bool readAhead);
    ~PartBlocks();
    PartBlocks(const PartBlocks&) = delete;
    PartBlocks& operator=(const PartBlocks&) = delete;

    // The next block; empty at the end of the part.  Valid until the next
    // call.  Throws what reading the part throws (WorkbookError).
    std::string_view next();

    const PartStream& part() const { return *part_; }

private:
    void readAheadLoop();

    std::unique_ptr<PartStream> part_;
    std::vector<char> block_;
    BoundedQueue<std::vector<char>> blocks_{4};
    std::exception_ptr readAheadFailure_;
    std::thread readAhead_;
};

}  // namespace workbook
