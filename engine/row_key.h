// Hashing and comparing a row of key values (texts compared without regard
// to the letter case of A-Z) against rows kept in a RowStore.  chars holds
// one CharStepper per key column: the code page of that column's text.
#pragma once

#include <string>
#include <vector>

#include "engine/char_stepper.h"
#include "engine/row_store.h"
#include "engine/text_fold.h"
#include "engine/value.h"

namespace engine {

// The texts of a row of values, numbers written out; reused from row to row.
class RowKey {
public:
    void assign(const Value* values, std::size_t n) {
        if (cells_.size() != n) {
            cells_.resize(n);
            numbers_.resize(n);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const Value& v = values[i];
            if (v.isText()) {
                cells_[i] = Cell{v.data, v.size};
                continue;
            }
            auto t = valueText(v, numbers_[i]);
            cells_[i] = t ? Cell{t->data(), static_cast<std::uint32_t>(t->size())} : Cell{};
        }
    }
    const Cell* cells() const { return cells_.data(); }
    std::size_t size() const { return cells_.size(); }

    std::uint64_t hash(const CharStepper* chars) const { return hashCells(cells_.data(), cells_.size(), chars); }

    static std::uint64_t hashCells(const Cell* cells, std::size_t n, const CharStepper* chars) {
        std::uint64_t h = 0x9AE16A3B2F90404FULL;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t c = cells[i].isNull() ? 0x51ED27F1C3A5B7D9ULL : foldedHash(cells[i].view(), chars[i]);
            h = (h ^ c) * 0x9E3779B97F4A7C15ULL;
            h ^= h >> 31;
        }
        return h;
    }

    static bool equalCells(const Cell* a, const Cell* b, std::size_t n, const CharStepper* chars) {
        for (std::size_t i = 0; i < n; ++i) {
            if (a[i].isNull() || b[i].isNull()) {
                if (a[i].isNull() != b[i].isNull()) return false;
                continue;
            }
            if (!equalFolded(a[i].view(), b[i].view(), chars[i])) return false;
        }
        return true;
    }

private:
    std::vector<Cell> cells_;
    std::vector<std::string> numbers_;
};

}  // namespace engine
