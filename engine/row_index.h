// Open-addressing hash index over the rows of a RowStore, for distinct values,
// group keys and join keys.  Each slot holds 32 bits of the key's hash (which
// also place it) and the row number, so growing never rehashes a key.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/large_allocator.h"

namespace engine {

class RowIndex {
public:
    static constexpr std::size_t kNone = ~std::size_t{0};

    explicit RowIndex(std::size_t initialSlots = 1024) : slots_(initialSlots), mask_(initialSlots - 1) {}

    // Finds the row whose key equals (isEqual(row) true) among those with this
    // hash; kNone when there is none.
    template <class IsEqual>
    std::size_t find(std::uint64_t hash, IsEqual isEqual) const {
        const std::uint32_t tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t pos = tag & mask_;; pos = (pos + 1) & mask_) {
            const std::uint64_t slot = slots_[pos];
            if (slot == 0) return kNone;
            if (static_cast<std::uint32_t>(slot >> 32) == tag) {
                const std::size_t row = static_cast<std::uint32_t>(slot) - 1;
                if (isEqual(row)) return row;
            }
        }
    }

    // Adds row (which must not be present) under hash.
    void insert(std::uint64_t hash, std::size_t row) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        place(static_cast<std::uint32_t>(hash >> 32), row);
        ++count_;
    }

    // The first row stored under the same 32 hash bits, or kNone: a hint for
    // prefetching what find() will compare.
    std::size_t peek(std::uint64_t hash) const {
        const std::uint32_t tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t pos = tag & mask_;; pos = (pos + 1) & mask_) {
            const std::uint64_t slot = slots_[pos];
            if (slot == 0) return kNone;
            if (static_cast<std::uint32_t>(slot >> 32) == tag) return static_cast<std::uint32_t>(slot) - 1;
        }
    }

    // Asks the processor to fetch the slot a hash starts at, ahead of find().
    void prefetch(std::uint64_t hash) const {
        __builtin_prefetch(&slots_[static_cast<std::uint32_t>(hash >> 32) & mask_]);
    }

    std::size_t size() const { return count_; }
    std::size_t memoryUsed() const { return slots_.capacity() * sizeof(std::uint64_t); }

private:
    void place(std::uint32_t tag, std::size_t row) {
        std::size_t pos = tag & mask_;
        while (slots_[pos] != 0) pos = (pos + 1) & mask_;
        slots_[pos] = (static_cast<std::uint64_t>(tag) << 32) | static_cast<std::uint32_t>(row + 1);
    }

    void grow() {
        SlotVector old(slots_.size() * 2);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        for (std::uint64_t slot : old)
            if (slot != 0) place(static_cast<std::uint32_t>(slot >> 32), static_cast<std::uint32_t>(slot) - 1);
    }

    using SlotVector = std::vector<std::uint64_t, LargeAllocator<std::uint64_t>>;
    SlotVector slots_;
    std::size_t mask_;
    std::size_t count_ = 0;
};

}  // namespace engine
