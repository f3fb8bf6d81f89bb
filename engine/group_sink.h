#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/row_index.h"
#include "engine/row_key.h"
#include "engine/row_sink.h"
#include "engine/pending_cells.h"
#include "engine/row_store.h"

namespace engine {

// Counts per group key: count(x) adds one for each row where x is not null.
class GroupSink : public RowSink {
public:
    // countArgs[i] is null for count(*); chars: the code page of each key's text.
    GroupSink(std::vector<std::unique_ptr<Node>> keys, std::vector<std::unique_ptr<Node>> countArgs,
              std::vector<CharStepper> chars);
    bool consume(const EvalContext& ctx) override;
    void merge(RowSink& later) override;
    void finish() override { flush(); }

    RowStore& keys() { return keyRows_; }
    const std::vector<std::uint64_t>& counts() const { return counts_; }
    std::size_t countsPerGroup() const { return countArgs_.size(); }
    std::size_t groups() const { return groups_; }
    // A statement with count() and no group by has one group even without rows.
    void ensureOneGroup();

private:
    std::size_t findOrAdd(const Cell* cells, std::uint64_t hash);
    // Rows are looked up in batches, their hash slots prefetched first.
    void flush();
    static constexpr std::size_t kBatch = 64;
    struct Pending {
        std::uint64_t hash;
        std::size_t firstCell;
        std::size_t firstCount;
    };
    std::vector<Pending> pending_;
    PendingCells pendingCells_;
    std::vector<std::uint8_t> pendingCounts_;

    std::vector<std::unique_ptr<Node>> keyNodes_;
    std::vector<std::unique_ptr<Node>> countArgs_;
    std::vector<CharStepper> chars_;
    std::vector<Value> values_;
    RowKey key_;
    RowStore keyRows_;
    RowIndex index_;
    std::vector<std::uint64_t> counts_;
    std::size_t groups_ = 0;
};

}  // namespace engine
