// An append-only list of rows of `width` entries each, kept in fixed blocks,
// for the long per-row lists of a scan (hashes, ordinals, cells of distinct
// values).  Growing never copies nor frees: a std::vector of millions of
// entries touches (and faults in) about twice its final memory on the way,
// and for a moment holds both copies.  A row never straddles two blocks.
// Blocks are mapped from the system directly, so that a freed list gives its
// memory back at once instead of leaving it in the heap.  Entries start out
// zero; T must be trivially copyable.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace engine {

template <class T>
class ChunkedVector {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    static constexpr std::size_t kShift = 16;  // rows per block: 65536
    static constexpr std::size_t kRowsPerBlock = std::size_t{1} << kShift;

    explicit ChunkedVector(std::size_t width = 1) : width_(width) {}
    ChunkedVector(ChunkedVector&& o) noexcept : width_(o.width_), blocks_(std::move(o.blocks_)), rows_(o.rows_) {
        o.blocks_.clear();
        o.rows_ = 0;
    }
    ChunkedVector& operator=(ChunkedVector&& o) noexcept {
        std::swap(width_, o.width_);
        std::swap(blocks_, o.blocks_);
        std::swap(rows_, o.rows_);
        return *this;
    }
    ~ChunkedVector() {
        for (T* b : blocks_) ::munmap(b, blockBytes());
    }

    // Space for one more row, to be filled by the caller.
    T* appendRow() {
        if ((rows_ & (kRowsPerBlock - 1)) == 0 && (rows_ >> kShift) == blocks_.size()) addBlock();
        T* row = blocks_[rows_ >> kShift] + (rows_ & (kRowsPerBlock - 1)) * width_;
        ++rows_;
        return row;
    }
    void push_back(const T& v) { *appendRow() = v; }  // for width 1

    T* row(std::size_t r) { return blocks_[r >> kShift] + (r & (kRowsPerBlock - 1)) * width_; }
    const T* row(std::size_t r) const { return blocks_[r >> kShift] + (r & (kRowsPerBlock - 1)) * width_; }
    T& operator[](std::size_t r) { return *row(r); }  // for width 1
    const T& operator[](std::size_t r) const { return *row(r); }

    std::size_t size() const { return rows_; }  // rows
    bool empty() const { return rows_ == 0; }

private:
    std::size_t blockBytes() const { return kRowsPerBlock * (width_ ? width_ : 1) * sizeof(T); }
    void addBlock() {
        blocks_.reserve(blocks_.size() + 1);
        void* p = ::mmap(nullptr, blockBytes(), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        blocks_.push_back(static_cast<T*>(p));
    }

    std::size_t width_;
    std::vector<T*> blocks_;
    std::size_t rows_ = 0;
};

}  // namespace engine
