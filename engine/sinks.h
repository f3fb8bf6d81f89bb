// Where the rows that pass the where clause go: collected as they are,
// collected once per distinct value, or counted per group.  Each scanning
// thread has its own sink; merge() adds the sink of the thread that read the
// later part of the file, so file order (first occurrences) is kept.
#pragma once

#include <memory>
#include <vector>

#include "engine/expression.h"
#include "engine/row_index.h"
#include "engine/row_key.h"
#include "engine/row_store.h"

namespace engine {

class RowSink {
public:
    virtual ~RowSink() = default;
    // Takes one row; false when the sink needs no more rows (top reached).
    virtual bool consume(const EvalContext& ctx) = 0;
    virtual void merge(RowSink& later) = 0;
    // Called once after the last row of a thread's part of the file.
    virtual void finish() {}
};

// Every row: evaluates the output expressions (and hidden sort keys).
class CollectSink : public RowSink {
public:
    CollectSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit);
    bool consume(const EvalContext& ctx) override;
    void merge(RowSink& later) override;
    RowStore& rows() { return rows_; }

private:
    std::vector<std::unique_ptr<Node>> columns_;
    std::uint64_t limit_;
    std::vector<Value> values_;
    RowStore rows_;
};

// The first occurrence of each distinct row of output values.
//
// The values are kept in two halves, chosen by one bit of their hash, each
// with its own hash table, and every kept row remembers its position among
// the rows seen.  Merging the sink of the later part of the file then works
// on both halves at once (two threads), and resolve() interleaves the halves
// back into file order.  Lookups are batched: the hash slots of a batch are
// prefetched first, so the cache misses of large tables overlap.
class DistinctSink : public RowSink {
public:
    DistinctSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit, const CharStepper& chars);
    bool consume(const EvalContext& ctx) override;
    void merge(RowSink& later) override;
    void finish() override { flush(); }
    // Puts the rows in file order; call once after the scan.
    void resolve();
    RowStore& rows() { return rows_; }

private:
    struct Half {
        RowStore rows;
        RowIndex index{1 << 10};
        std::vector<std::uint64_t> ordinals;  // position of each row's first occurrence
    };
    struct Pending {
        std::uint64_t hash;
        std::uint64_t ordinal;
        std::size_t firstCell;
    };
    static constexpr std::size_t kBatch = 64;

    bool limited() const { return limit_ != ~std::uint64_t{0}; }
    std::size_t kept() const { return halves_[0].rows.rows() + halves_[1].rows.rows(); }
    // Adds the row unless an equal one is kept; true when added.
    bool add(Half& half, const Cell* cells, std::uint64_t hash, std::uint64_t ordinal);
    void flush();
    void mergeHalf(int h, DistinctSink& later, std::uint64_t ordinalBase);

    std::vector<std::unique_ptr<Node>> columns_;
    std::uint64_t limit_;
    CharStepper chars_;
    std::vector<Value> values_;
    RowKey key_;
    Half halves_[2];
    std::uint64_t seen_ = 0;     // rows consumed so far (ordinals)
    std::vector<Pending> pending_;
    std::vector<Cell> pendingCells_;
    std::string pendingBytes_;
    RowStore rows_;
};

// Counts per group key: count(x) adds one for each row where x is not null.
class GroupSink : public RowSink {
public:
    // countArgs[i] is null for count(*).
    GroupSink(std::vector<std::unique_ptr<Node>> keys, std::vector<std::unique_ptr<Node>> countArgs,
              const CharStepper& chars);
    bool consume(const EvalContext& ctx) override;
    void merge(RowSink& later) override;

    RowStore& keys() { return keyRows_; }
    const std::vector<std::uint64_t>& counts() const { return counts_; }
    std::size_t countsPerGroup() const { return countArgs_.size(); }
    std::size_t groups() const { return groups_; }
    // A statement with count() and no group by has one group even without rows.
    void ensureOneGroup();

private:
    std::size_t findOrAdd(const Cell* cells, std::uint64_t hash);

    std::vector<std::unique_ptr<Node>> keyNodes_;
    std::vector<std::unique_ptr<Node>> countArgs_;
    CharStepper chars_;
    std::vector<Value> values_;
    RowKey key_;
    RowStore keyRows_;
    RowIndex index_;
    std::vector<std::uint64_t> counts_;
    std::size_t groups_ = 0;
};

}  // namespace engine
