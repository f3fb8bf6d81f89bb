// Materialised rows of a result (and of distinct values and group keys): a
// flat array of cells whose bytes live in an arena.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/arena.h"
#include "engine/value.h"

namespace engine {

struct Cell {
    const char* data = nullptr;  // nullptr for a null
    std::uint32_t size = 0;
    bool isNull() const { return data == nullptr; }
    std::string_view view() const { return {data, size}; }
};

class RowStore {
public:
    RowStore() : columns_(0) {}
    explicit RowStore(std::size_t columns) : columns_(columns) {}

    std::size_t columns() const { return columns_; }
    std::size_t rows() const { return columns_ == 0 ? emptyRows_ : cells_.size() / columns_; }

    // Copies the values (numbers as their text) into the store.
    void addRow(const Value* values);
    // Adds a row of already-text cells.
    void addCells(const Cell* cells);
    // Adds a row whose bytes stay where they are: they must live in an arena
    // that this store adopts (adoptBytes) or outlives.
    void addCellsInPlace(const Cell* cells) {
        if (columns_ == 1) cells_.push_back(*cells);  // the common case, without a range insert
        else if (columns_ == 0) ++emptyRows_;
        else cells_.insert(cells_.end(), cells, cells + columns_);
    }
    void adoptBytes(Arena&& arena) { arena_.adopt(std::move(arena)); }
    // Takes over the bytes of other, whose cells stay valid as long as this store lives.
    void adoptBytesOf(RowStore& other) { arena_.adopt(std::move(other.arena_)); }
    void reserveRows(std::size_t rows) { cells_.reserve(rows * columns_); }

    // Replaces the cells of a row with copies of the given ones.
    void replaceRow(std::size_t row, const Cell* cells) {
        for (std::size_t c = 0; c < columns_; ++c) {
            Cell cell;
            if (!cells[c].isNull()) {
                cell.data = arena_.copy(cells[c].data, cells[c].size);
                cell.size = cells[c].size;
            }
            cells_[row * columns_ + c] = cell;
        }
    }

    const Cell& cell(std::size_t row, std::size_t column) const { return cells_[row * columns_ + column]; }
    const Cell* row(std::size_t r) const { return &cells_[r * columns_]; }

    // Appends the rows of other after these, taking over its bytes.
    void append(RowStore&& other);
    // Keeps the rows in the given order (indexes into the current rows).
    void reorder(const std::vector<std::size_t>& order);
    void truncate(std::size_t rows);

    std::size_t memoryUsed() const { return arena_.bytesReserved() + cells_.capacity() * sizeof(Cell); }

private:
    std::size_t columns_;
    std::size_t emptyRows_ = 0;
    std::vector<Cell> cells_;
    Arena arena_;
    std::string numberText_;
};

// The cell text of a value: texts as they are, numbers in their written form
// (into scratch).  nullopt for a null.  Inline: it runs for every key of every row.
inline std::optional<std::string_view> valueText(const Value& v, std::string& scratch) {
    if (v.isText()) return v.view();
    if (v.isNull()) return std::nullopt;
    scratch = formatNumber(v.number);
    return std::string_view(scratch);
}

}  // namespace engine
