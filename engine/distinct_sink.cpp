#include "engine/distinct_sink.h"

#include "engine/parallel_scan.h"

#include <algorithm>
#include <thread>

#include "engine/run_beside.h"

namespace engine {

DistinctSink::DistinctSink(std::vector<std::unique_ptr<Node>> columns, std::uint64_t limit,
                           std::vector<CharStepper> chars, int part, int parts)
    : columns_(std::move(columns)), limit_(limit), chars_(std::move(chars)), part_(part), parts_(limit == ~std::uint64_t{0} ? parts : 1),
      values_(columns_.size()), foreign_(columns_.size()), rows_(columns_.size()) {
    for (Half& h : halves_) h.rows = RowStore(columns_.size());
}

bool DistinctSink::add(Half& half, const Cell* cells, std::uint64_t hash, std::uint64_t ordinal, Bytes bytes,
                       Order order) {
    const std::size_t n = half.rows.columns();
    const std::size_t found = half.index.find(hash, [&](std::size_t row) {
        return RowKey::equalCells(half.rows.row(row), cells, n, chars_.data());
    });
    if (found != RowIndex::kNone) {
        if (order == Order::Any && ordinal < half.ordinals[found]) {
            half.rows.replaceRow(found, cells);
            half.ordinals[found] = ordinal;
            half.moved.push_back(found);
        }
        return false;
    }
    if (bytes == Bytes::Owned) half.rows.addCellsInPlace(cells);
    else half.rows.addCells(cells);
    half.index.insert(hash, half.rows.rows() - 1);
    half.ordinals.push_back(ordinal);
    return true;
}

void DistinctSink::flush() {
    if (pending_.empty()) return;
    // The slots were prefetched when the rows came; now the kept row each
    // one may equal, then that row's bytes, then the lookups themselves.
    pendingCells_.resolve();
    const std::size_t n = pending_.size();
    std::size_t candidates[kBatch];
    for (std::size_t i = 0; i < n; ++i) {
        const Pending& p = pending_[i];
        Half& half = halves_[p.hash & 1];
        candidates[i] = half.index.peek(p.hash);
        if (candidates[i] != RowIndex::kNone) __builtin_prefetch(half.rows.row(candidates[i]));
    }
    for (std::size_t i = 0; i < n; ++i)
        if (candidates[i] != RowIndex::kNone)
            __builtin_prefetch(halves_[pending_[i].hash & 1].rows.row(candidates[i])->data);
    // Rows are read in file order, so a kept equal row is always the earlier one.
    for (const Pending& p : pending_)
        add(halves_[p.hash & 1], pendingCells_.at(p.firstCell), p.hash, p.ordinal, Bytes::Borrowed, Order::Later);
    pending_.clear();
    pendingCells_.clear();
}

bool DistinctSink::consume(const EvalContext& ctx) {
    for (std::size_t i = 0; i < columns_.size(); ++i) values_[i] = columns_[i]->eval(ctx);
    if (columns_.empty()) {
        if (rows_.rows() == 0) rows_.addCells(nullptr);
        return rows_.rows() < limit_;
    }
    key_.assign(values_.data(), values_.size());
    const std::uint64_t hash = key_.hash(chars_.data());
    const std::uint64_t ordinal = seen_++;
    if (limited()) {
        add(halves_[hash & 1], key_.cells(), hash, ordinal, Bytes::Borrowed, Order::Any);
        return kept() < limit_;
    }
    if (!owns(hash)) {
        foreign_.ordinals.push_back(ordinal);
        Cell* cells = foreign_.cells.appendRow();
        for (std::size_t i = 0; i < key_.size(); ++i) {
            cells[i] = key_.cells()[i];
            if (cells[i].data) cells[i].data = foreign_.bytes.copy(cells[i].data, cells[i].size);
        }
        return true;
    }
    halves_[hash & 1].index.prefetch(hash);
    pending_.push_back({hash, ordinal, pendingCells_.size()});
    pendingCells_.append(key_.cells(), key_.size());
    if (pending_.size() >= kBatch) flush();
    return true;
}

void DistinctSink::absorb(Half& half, Foreign& values, std::uint64_t ordinalBase, Order order) {
    const std::size_t total = values.size();
    const std::size_t n = columns_.size();
    // A pipeline of prefetches: the slot 16 values ahead (whose hash is
    // worked out there), the row it may equal (and its ordinal) 8 ahead, that
    // row's bytes 4 ahead.
    constexpr std::size_t kAhead = 16;
    std::uint64_t hashes[2 * kAhead];  // a ring: the hash of value i at i % (2 * kAhead)
    auto hashAt = [&](std::size_t i) -> std::uint64_t& { return hashes[i % (2 * kAhead)]; };
    for (std::size_t i = 0; i < std::min(kAhead, total); ++i) hashAt(i) = RowKey::hashCells(values.cells.row(i), n, chars_.data());
    for (std::size_t i = 0; i < total; ++i) {
        if (i + kAhead < total) {
            hashAt(i + kAhead) = RowKey::hashCells(values.cells.row(i + kAhead), n, chars_.data());
            half.index.prefetch(hashAt(i + kAhead));
        }
        if (i + 8 < total) {
            const std::size_t c = half.index.peek(hashAt(i + 8));
            if (c != RowIndex::kNone) {
                __builtin_prefetch(half.rows.row(c));
                if (order == Order::Any) __builtin_prefetch(&half.ordinals[c]);
            }
        }
        if (i + 4 < total) {
            const std::size_t c = half.index.peek(hashAt(i + 4));
            if (c != RowIndex::kNone) __builtin_prefetch(half.rows.row(c)->data);
        }
        add(half, values.cells.row(i), hashAt(i), values.ordinals[i] + ordinalBase, Bytes::Owned, order);
        checkStop(observer_, i + 1);
    }
    half.rows.adoptBytes(std::move(values.bytes));
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
            const std::uint64_t hash = RowKey::hashCells(cells, columns_.size(), chars_.data());
            if (add(halves_[hash & 1], cells, hash, base + r, Bytes::Borrowed, Order::Any)) rows_.addCells(cells);
        }
        seen_ += later.seen_;
        return;
    }
    // This sink owns half 0 and takes in the later sink's values of it (all
    // later in the file than its own); the later sink owns half 1 and takes
    // in this sink's (earlier) values of it.
    auto takeOwnHalf = [&] { absorb(halves_[0], later.foreign_, base, Order::Later); };
    auto giveOtherHalf = [&] {
        Half& theirs = later.halves_[1];
        for (std::size_t r = 0; r < theirs.ordinals.size(); ++r) theirs.ordinals[r] += base;
        theirs.earlierFrom = theirs.rows.rows();
        absorb(theirs, foreign_, 0, Order::Any);
    };
    if (later.foreign_.size() + foreign_.size() > 100000 && std::thread::hardware_concurrency() >= 2) {
        runBeside(takeOwnHalf, giveOtherHalf);
    } else {
        takeOwnHalf();
        giveOtherHalf();
    }
    halves_[1] = std::move(later.halves_[1]);
    foreign_ = Foreign(columns_.size());
    later.foreign_ = Foreign(columns_.size());
    parts_ = 1;
    seen_ += later.seen_;
}

void DistinctSink::resolve() {
    flush();
    if (foreign_.size() > 0) {
        // Read to the end alone: keep the values of the other half too.
        absorb(halves_[1 - part_], foreign_, 0, Order::Any);
        foreign_ = Foreign(columns_.size());
    }
    if (columns_.empty() || rows_.rows() > 0) return;
    // Interleave the halves by first occurrence.  Each half is a run in
    // ordinal order, or two runs where it took in the values of an earlier
    // part of the file, except the rows that took an earlier occurrence;
    // those are sorted apart and merged in as one more run.
    struct Run {
        int half;
        std::size_t next, end;
    };
    std::vector<Run> runs;
    std::vector<std::pair<std::uint64_t, const Cell*>> moved;
    std::vector<bool> isMoved[2];
    for (int h = 0; h < 2; ++h) {
        Half& half = halves_[h];
        const std::size_t n = half.rows.rows();
        isMoved[h].assign(n, false);
        for (std::size_t r : half.moved) {
            if (isMoved[h][r]) continue;
            isMoved[h][r] = true;
            moved.emplace_back(half.ordinals[r], half.rows.row(r));
        }
        const std::size_t split = std::min(half.earlierFrom, n);
        runs.push_back({h, 0, split});
        if (split < n) runs.push_back({h, split, n});
    }
    std::sort(moved.begin(), moved.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    rows_.reserveRows(halves_[0].rows.rows() + halves_[1].rows.rows());
    constexpr std::uint64_t kEnd = ~std::uint64_t{0};
    std::size_t m = 0;
    auto head = [&](Run& run) {
        while (run.next < run.end && isMoved[run.half][run.next]) ++run.next;
        return run.next < run.end ? halves_[run.half].ordinals[run.next] : kEnd;
    };
    for (std::size_t taken = 1;; ++taken) {
        checkStop(observer_, taken);
        std::uint64_t best = m < moved.size() ? moved[m].first : kEnd;
        Run* from = nullptr;
        for (Run& run : runs) {
            const std::uint64_t o = head(run);
            if (o < best) {
                best = o;
                from = &run;
            }
        }
        if (best == kEnd) break;
        if (from) rows_.addCellsInPlace(halves_[from->half].rows.row(from->next++));
        else rows_.addCellsInPlace(moved[m++].second);
    }
    rows_.adoptBytesOf(halves_[0].rows);
    rows_.adoptBytesOf(halves_[1].rows);
    if (rows_.rows() > limit_) rows_.truncate(limit_);
}

}  // namespace engine
