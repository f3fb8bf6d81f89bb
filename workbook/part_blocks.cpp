#include "workbook/part_blocks.h"

namespace workbook {

namespace {
constexpr std::size_t kBlockSize = 256u << 10;
}

PartBlocks::PartBlocks(std::unique_ptr<PartStream> part, bool readAhead) : part_(std::move(part)) {
    if (readAhead) readAhead_ = std::thread([this] { readAheadLoop(); });
}

PartBlocks::~PartBlocks() {
    if (readAhead_.joinable()) {
        blocks_.abandon();
        readAhead_.join();
    }
}

void PartBlocks::readAheadLoop() {
    try {
        for (;;) {
            std::vector<char> block(kBlockSize);
            const std::size_t got = part_->read(block.data(), block.size());
            if (got == 0) break;
            block.resize(got);
            if (!blocks_.push(std::move(block))) return;  // the reading side stopped
        }
    } catch (...) {
        readAheadFailure_ = std::current_exception();
    }
    blocks_.close();
}

std::string_view PartBlocks::next() {
    if (!readAhead_.joinable()) {
        block_.resize(kBlockSize);
        block_.resize(part_->read(block_.data(), block_.size()));
        return std::string_view(block_.data(), block_.size());
    }
    std::optional<std::vector<char>> block = blocks_.pop();
    if (!block) {
        readAhead_.join();  // it closed the queue: it has ended
        if (readAheadFailure_) std::rethrow_exception(readAheadFailure_);
        return {};
    }
    block_ = std::move(*block);
    return std::string_view(block_.data(), block_.size());
}

}  // namespace workbook
