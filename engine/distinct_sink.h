#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/arena.h"
#include "engine/chunked_vector.h"
#include "engine/row_index.h"
#include "engine/row_key.h"
#include "engine/row_sink.h"
#include "engine/pending_cells.h"
#include "engine/row_store.h"

namespace engine {

// The first occurrence of each distinct row of output values.
//
// The values fall into two halves by one bit of their hash; each half has its
// own hash table, and every kept row remembers its position among the rows
// (its ordinal).  When the file is read by two threads, the first keeps the
// table of half 0 and the second that of half 1; each collects the values of
// the other half in a list, which the owner takes in when the sinks are
// merged, both halves at once.  An owner that learns of an earlier occurrence
// of a value it holds takes the earlier one.  resolve() interleaves the halves
// back into file order.  Lookups are batched: the hash slots of a batch are
// prefetched first, so the cache misses of large tables overlap.
class DistinctSink : public RowSink {
public:
    // chars: the code page of each column's text; part and parts: which part
    // of the file this sink reads (see ScanRequest).
    DistinctSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit, std::vector<CharStepper> chars,
                 int part = 0, int parts = 1);
    bool consume(const EvalContext& ctx) override;
    void merge(RowSink& later) override;
    void finish() override { flush(); }
    // Puts the rows in file order; call once after the scan.
    void resolve();
    // The merge and the ordering ask the observer's stop request as they go
    // (they take seconds over millions of values).
    void watch(const ScanObserver* observer) { observer_ = observer; }
    RowStore& rows() { return rows_; }

private:
    struct Half {
        RowStore rows;
        RowIndex index{1 << 10};
        ChunkedVector<std::uint64_t> ordinals;  // position of each row's first occurrence
        std::vector<std::size_t> moved;       // rows that took an earlier occurrence
        std::size_t earlierFrom = ~std::size_t{0};  // rows from here on came from an earlier part
    };
    // Values of the half another sink owns, kept for it.  Their hashes are
    // worked out again when they are taken in: cheaper than keeping them.
    struct Foreign {
        explicit Foreign(std::size_t columns = 1) : cells(columns) {}
        std::size_t size() const { return ordinals.size(); }
        ChunkedVector<std::uint64_t> ordinals;
        ChunkedVector<Cell> cells;  // a row of cells per value
        Arena bytes;
    };
    struct Pending {
        std::uint64_t hash;
        std::uint64_t ordinal;
        std::size_t firstCell;
    };
    static constexpr std::size_t kBatch = 64;
    const ScanObserver* observer_ = nullptr;

    bool limited() const { return limit_ != ~std::uint64_t{0}; }
    bool owns(std::uint64_t hash) const { return parts_ == 1 || static_cast<int>(hash & 1) == part_; }
    std::size_t kept() const { return halves_[0].rows.rows() + halves_[1].rows.rows(); }
    // How a row comes to add(): Borrowed bytes are copied into the half's
    // store only when the row is kept, Owned ones already belong to it.
    enum class Bytes { Borrowed, Owned };
    // Later: the row comes later in the file than every row of the half, so
    // an equal kept row never has to take it (and its ordinal is not read).
    enum class Order { Any, Later };
    // Adds the row unless an equal one is kept (which then takes the smaller
    // ordinal's bytes); true when added.
    bool add(Half& half, const Cell* cells, std::uint64_t hash, std::uint64_t ordinal, Bytes bytes, Order order);
    void flush();
    // Takes in the values of another sink (their bytes move to the half's store).
    void absorb(Half& half, Foreign& values, std::uint64_t ordinalBase, Order order);

    std::vector<std::unique_ptr<Node>> columns_;
    std::uint64_t limit_;
    std::vector<CharStepper> chars_;
    int part_, parts_;
    std::vector<Value> values_;
    RowKey key_;
    Half halves_[2];
    Foreign foreign_;
    std::uint64_t seen_ = 0;     // rows consumed so far (ordinals)
    std::vector<Pending> pending_;
    PendingCells pendingCells_;
    RowStore rows_;
};

}  // namespace engine
