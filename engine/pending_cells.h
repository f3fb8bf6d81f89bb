// The key cells of the rows that wait in a batch of a distinct or group step.
// Their bytes are copied into one buffer that may move while it grows, so a
// cell holds its offset (plus one, so that a null stays null) until resolve()
// turns the offsets into pointers for the lookups of the batch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/row_store.h"

namespace engine {

class PendingCells {
public:
    // Index of the first cell that the next append() adds.
    std::size_t size() const { return cells_.size(); }

    void append(const Cell* cells, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            Cell c = cells[i];
            if (c.data) {
                const std::size_t at = bytes_.size();
                bytes_.append(c.data, c.size);
                c.data = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(at + 1));
            }
            cells_.push_back(c);
        }
    }

    void resolve() {
        for (Cell& c : cells_)
            if (c.data) c.data = bytes_.data() + (reinterpret_cast<std::uintptr_t>(c.data) - 1);
    }

    const Cell* at(std::size_t first) const { return &cells_[first]; }

    void clear() {
        cells_.clear();
        bytes_.clear();
    }

private:
    std::vector<Cell> cells_;
    std::string bytes_;
};

}  // namespace engine
