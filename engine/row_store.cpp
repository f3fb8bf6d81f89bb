#include "engine/row_store.h"

namespace engine {

void RowStore::addRow(const Value* values) {
    if (columns_ == 0) {
        ++emptyRows_;
        return;
    }
    for (std::size_t c = 0; c < columns_; ++c) {
        auto text = valueText(values[c], numberText_);
        Cell cell;
        if (text) {
            cell.data = arena_.copy(text->data(), text->size());
            cell.size = static_cast<std::uint32_t>(text->size());
        }
        cells_.push_back(cell);
    }
}

void RowStore::addCells(const Cell* cells) {
    if (columns_ == 0) {
        ++emptyRows_;
        return;
    }
    for (std::size_t c = 0; c < columns_; ++c) {
        Cell cell;
        if (!cells[c].isNull()) {
            cell.data = arena_.copy(cells[c].data, cells[c].size);
            cell.size = cells[c].size;
        }
        cells_.push_back(cell);
    }
}

void RowStore::append(RowStore&& other) {
    emptyRows_ += other.emptyRows_;
    if (cells_.empty()) {
        cells_ = std::move(other.cells_);
    } else {
        cells_.insert(cells_.end(), other.cells_.begin(), other.cells_.end());
    }
    other.cells_.clear();
    other.emptyRows_ = 0;
    arena_.adopt(std::move(other.arena_));
}

void RowStore::reorder(const std::vector<std::size_t>& order) {
    if (columns_ == 0) {
        emptyRows_ = order.size();
        return;
    }
    std::vector<Cell> sorted;
    sorted.reserve(order.size() * columns_);
    for (std::size_t r : order)
        for (std::size_t c = 0; c < columns_; ++c) sorted.push_back(cells_[r * columns_ + c]);
    cells_ = std::move(sorted);
}

void RowStore::truncate(std::size_t rows) {
    if (columns_ == 0) {
        emptyRows_ = std::min(emptyRows_, rows);
        return;
    }
    if (rows < this->rows()) cells_.resize(rows * columns_);
}

}  // namespace engine
