#include "engine/sinks.h"

#include <exception>
#include <thread>

namespace engine {

CollectSink::CollectSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit)
    : columns_(std::move(columns)), limit_(limit), values_(columns_.size()), rows_(columns_.size()) {}

bool CollectSink::consume(const EvalContext& ctx) {
    for (std::size_t i = 0; i < columns_.size(); ++i) values_[i] = columns_[i]->eval(ctx);
    rows_.addRow(values_.data());
    return rows_.rows() < limit_;
}

void CollectSink::merge(RowSink& later) {
    rows_.append(std::move(static_cast<CollectSink&>(later).rows_));
    if (rows_.rows() > limit_) rows_.truncate(limit_);
}

DistinctSink::DistinctSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit, const CharStepper& chars)
    : columns_(std::move(columns)), limit_(limit), chars_(chars), values_(columns_.size()), rows_(columns_.size()) {
    for (Half& h : halves_) h.rows = RowStore(columns_.size());
}

bool DistinctSink::add(Half& half, const Cell* cells, std::uint64_t hash, std::uint64_t ordinal) {
    const std::size_t n = half.rows.columns();
    const std::size_t found = half.index.find(hash, [&](std::size_t row) {
        return RowKey::equalCells(half.rows.row(row), cells, n, chars_);
    });
    if (found != RowIndex::kNone) return false;
    half.rows.addCells(cells);
    half.index.insert(hash, half.rows.rows() - 1);
    half.ordinals.push_back(ordinal);
    return true;
}

void DistinctSink::flush() {
    if (pending_.empty()) return;
    // The bytes no longer move: turn offsets into pointers.
    for (Cell& c : pendingCells_)
        if (c.data) c.data = pendingBytes_.data() + (reinterpret_cast<std::uintptr_t>(c.data) - 1);
    for (const Pending& p : pending_) {
        Half& half = halves_[p.hash & 1];
        const std::size_t candidate = half.index.peek(p.hash);
        if (candidate != RowIndex::kNone) __builtin_prefetch(half.rows.row(candidate));
    }
    for (const Pending& p : pending_) add(halves_[p.hash & 1], &pendingCells_[p.firstCell], p.hash, p.ordinal);
    pending_.clear();
    pendingCells_.clear();
    pendingBytes_.clear();
}

bool DistinctSink::consume(const EvalContext& ctx) {
    for (std::size_t i = 0; i < columns_.size(); ++i) values_[i] = columns_[i]->eval(ctx);
    if (columns_.empty()) {
        if (rows_.rows() == 0) rows_.addCells(nullptr);
        return rows_.rows() < limit_;
    }
    key_.assign(values_.data(), values_.size());
    const std::uint64_t hash = key_.hash(chars_);
    const std::uint64_t ordinal = seen_++;
    if (limited()) {
        add(halves_[hash & 1], key_.cells(), hash, ordinal);
        return kept() < limit_;
    }
    halves_[hash & 1].index.prefetch(hash);
    pending_.push_back({hash, ordinal, pendingCells_.size()});
    for (std::size_t i = 0; i < key_.size(); ++i) {
        Cell c = key_.cells()[i];
        if (c.data) {
            // Offsets (plus one, so that zero stays null) until flush().
            const std::size_t at = pendingBytes_.size();
            pendingBytes_.append(c.data, c.size);
            c.data = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(at + 1));
        }
        pendingCells_.push_back(c);
    }
    if (pending_.size() >= kBatch) flush();
    return true;
}

void DistinctSink::mergeHalf(int h, DistinctSink& later, std::uint64_t ordinalBase) {
    Half& mine = halves_[h];
    Half& theirs = later.halves_[h];
    const std::size_t n = mine.rows.columns();
    const std::size_t total = theirs.rows.rows();
    constexpr std::size_t kAhead = 16;
    std::vector<std::uint64_t> hashes(std::min<std::size_t>(total, kAhead));
    auto hashOf = [&](std::size_t r) { return RowKey::hashCells(theirs.rows.row(r), n, chars_); };
    for (std::size_t r = 0; r < hashes.size(); ++r) {
        hashes[r] = hashOf(r);
        mine.index.prefetch(hashes[r]);
    }
    for (std::size_t r = 0; r < total; ++r) {
        const std::uint64_t hash = hashes[r % kAhead];
        if (r + kAhead < total) {
            hashes[r % kAhead] = hashOf(r + kAhead);
            mine.index.prefetch(hashes[r % kAhead]);
        }
        add(mine, theirs.rows.row(r), hash, theirs.ordinals[r] + ordinalBase);
    }
}

void DistinctSink::merge(RowSink& laterSink) {
    auto& later = static_cast<DistinctSink&>(laterSink);
    flush();
    later.flush();
    if (columns_.empty()) {
        if (rows_.rows() == 0 && later.rows_.rows() > 0) rows_.addCells(nullptr);
        return;
    }
    const std::uint64_t base = seen_;
    if (limited()) {
        // Few rows: merge in order, so that exactly the first ones are kept.
        later.resolve();
        resolve();
        for (std::size_t r = 0; r < later.rows_.rows() && rows_.rows() < limit_; ++r) {
            const Cell* cells = later.rows_.row(r);
            const std::uint64_t hash = RowKey::hashCells(cells, columns_.size(), chars_);
            if (add(halves_[hash & 1], cells, hash, base + r)) rows_.addCells(cells);
        }
        seen_ += later.seen_;
        return;
    }
    const std::size_t work = later.halves_[0].rows.rows() + later.halves_[1].rows.rows();
    if (work > 100000 && std::thread::hardware_concurrency() >= 2) {
        std::exception_ptr failure;
        std::thread other([&] {
            try {
                mergeHalf(1, later, base);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        mergeHalf(0, later, base);
        other.join();
        if (failure) std::rethrow_exception(failure);
    } else {
        mergeHalf(0, later, base);
        mergeHalf(1, later, base);
    }
    seen_ += later.seen_;
}

void DistinctSink::resolve() {
    flush();
    if (columns_.empty() || rows_.rows() > 0) return;
    // Interleave the two halves by first occurrence.
    const auto& o0 = halves_[0].ordinals;
    const auto& o1 = halves_[1].ordinals;
    rows_.reserveRows(o0.size() + o1.size());
    std::size_t a = 0, b = 0;
    while (a < o0.size() || b < o1.size()) {
        if (b >= o1.size() || (a < o0.size() && o0[a] < o1[b])) rows_.addCellsInPlace(halves_[0].rows.row(a++));
        else rows_.addCellsInPlace(halves_[1].rows.row(b++));
    }
    rows_.adoptBytesOf(halves_[0].rows);
    rows_.adoptBytesOf(halves_[1].rows);
    if (rows_.rows() > limit_) rows_.truncate(limit_);
}

GroupSink::GroupSink(std::vector<std::unique_ptr<Node>> keys, std::vector<std::unique_ptr<Node>> countArgs,
                     const CharStepper& chars)
    : keyNodes_(std::move(keys)), countArgs_(std::move(countArgs)), chars_(chars), values_(keyNodes_.size()),
      keyRows_(keyNodes_.size()) {}

std::size_t GroupSink::findOrAdd(const Cell* cells, std::uint64_t hash) {
    const std::size_t n = keyNodes_.size();
    if (n == 0) {
        ensureOneGroup();
        return 0;
    }
    std::size_t g = index_.find(hash, [&](std::size_t row) {
        return RowKey::equalCells(keyRows_.row(row), cells, n, chars_);
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
    for (std::size_t i = 0; i < keyNodes_.size(); ++i) values_[i] = keyNodes_[i]->eval(ctx);
    key_.assign(values_.data(), values_.size());
    const std::size_t g = findOrAdd(key_.cells(), keyNodes_.empty() ? 0 : key_.hash(chars_));
    std::uint64_t* counts = counts_.data() + g * countArgs_.size();
    for (std::size_t i = 0; i < countArgs_.size(); ++i)
        if (!countArgs_[i] || !countArgs_[i]->eval(ctx).isNull()) ++counts[i];
    return true;
}

void GroupSink::merge(RowSink& laterSink) {
    auto& later = static_cast<GroupSink&>(laterSink);
    const std::size_t n = keyNodes_.size();
    const std::size_t k = countArgs_.size();
    for (std::size_t g = 0; g < later.groups_; ++g) {
        const Cell* cells = n ? later.keyRows_.row(g) : nullptr;
        const std::size_t mine = findOrAdd(cells, n ? RowKey::hashCells(cells, n, chars_) : 0);
        for (std::size_t i = 0; i < k; ++i) counts_[mine * k + i] += later.counts_[g * k + i];
    }
}

}  // namespace engine
