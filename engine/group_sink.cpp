#include "engine/group_sink.h"

namespace engine {

GroupSink::GroupSink(std::vector<std::unique_ptr<Node>> keys, std::vector<std::unique_ptr<Node>> countArgs,
                     std::vector<CharStepper> chars)
    : keyNodes_(std::move(keys)), countArgs_(std::move(countArgs)), chars_(std::move(chars)), values_(keyNodes_.size()),
      keyRows_(keyNodes_.size()) {}

std::size_t GroupSink::findOrAdd(const Cell* cells, std::uint64_t hash) {
    const std::size_t n = keyNodes_.size();
    if (n == 0) {
        ensureOneGroup();
        return 0;
    }
    std::size_t g = index_.find(hash, [&](std::size_t row) {
        return RowKey::equalCells(keyRows_.row(row), cells, n, chars_.data());
    });
    if (g == RowIndex::kNone) {
        keyRows_.addCells(cells);
        g = groups_++;
        index_.insert(hash, g);
        counts_.resize(counts_.size() + countArgs_.size(), 0);
    }
    return g;
}

void GroupSink::ensureOneGroup() {
    if (groups_ > 0) return;
    keyRows_.addCells(nullptr);
    groups_ = 1;
    counts_.assign(countArgs_.size(), 0);
}

bool GroupSink::consume(const EvalContext& ctx) {
    const std::size_t k = countArgs_.size();
    if (keyNodes_.empty()) {
        findOrAdd(nullptr, 0);
        for (std::size_t i = 0; i < k; ++i)
            if (!countArgs_[i] || !countArgs_[i]->eval(ctx).isNull()) ++counts_[i];
        return true;
    }
    for (std::size_t i = 0; i < keyNodes_.size(); ++i) values_[i] = keyNodes_[i]->eval(ctx);
    key_.assign(values_.data(), values_.size());
    const std::uint64_t hash = key_.hash(chars_.data());
    index_.prefetch(hash);
    pending_.push_back({hash, pendingCells_.size(), pendingCounts_.size()});
    pendingCells_.append(key_.cells(), key_.size());
    for (std::size_t i = 0; i < k; ++i)
        pendingCounts_.push_back(!countArgs_[i] || !countArgs_[i]->eval(ctx).isNull() ? 1 : 0);
    if (pending_.size() >= kBatch) flush();
    return true;
}

void GroupSink::flush() {
    if (pending_.empty()) return;
    pendingCells_.resolve();
    const std::size_t k = countArgs_.size();
    // The slots were prefetched when the rows came; now the group each row
    // may belong to (its key cells and counts), then that key's bytes, so
    // that the cache misses of the batch overlap instead of queueing.
    const std::size_t n = pending_.size();
    std::size_t candidates[kBatch];
    for (std::size_t i = 0; i < n; ++i) {
        candidates[i] = keyNodes_.empty() ? RowIndex::kNone : index_.peek(pending_[i].hash);
        if (candidates[i] == RowIndex::kNone) continue;
        __builtin_prefetch(keyRows_.row(candidates[i]));
        if (k) __builtin_prefetch(counts_.data() + candidates[i] * k);
    }
    for (std::size_t i = 0; i < n; ++i)
        if (candidates[i] != RowIndex::kNone) __builtin_prefetch(keyRows_.row(candidates[i])->data);
    for (const Pending& p : pending_) {
        const std::size_t g = findOrAdd(pendingCells_.at(p.firstCell), p.hash);
        std::uint64_t* counts = counts_.data() + g * k;
        for (std::size_t i = 0; i < k; ++i) counts[i] += pendingCounts_[p.firstCount + i];
    }
    pending_.clear();
    pendingCells_.clear();
    pendingCounts_.clear();
}

void GroupSink::merge(RowSink& laterSink) {
    auto& later = static_cast<GroupSink&>(laterSink);
    flush();
    later.flush();
    const std::size_t n = keyNodes_.size();
    const std::size_t k = countArgs_.size();
    for (std::size_t g = 0; g < later.groups_; ++g) {
        const Cell* cells = n ? later.keyRows_.row(g) : nullptr;
        const std::size_t mine = findOrAdd(cells, n ? RowKey::hashCells(cells, n, chars_.data()) : 0);
        for (std::size_t i = 0; i < k; ++i) counts_[mine * k + i] += later.counts_[g * k + i];
    }
}

}  // namespace engine
