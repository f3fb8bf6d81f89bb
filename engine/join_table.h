// The right-hand table of a join, read whole before the left table is
// scanned: its rows (the columns the statement uses) and a hash index on the
// join key, with the rows of one key kept in file order.
//
// The keys are compared as text: when this table's values are in another
// code page than the left table's, its keys are converted into the left
// table's code page as they are read (a key that code page cannot write
// equals no key there, and its row is left out, as a null key's is).  The
// rows themselves keep this table's bytes.
#pragma once

#include <functional>
#include <vector>

#include "engine/char_stepper.h"
#include "engine/row_index.h"
#include "engine/row_key.h"
#include "engine/row_store.h"
#include "engine/table_source.h"

namespace engine {

class JoinTable {
public:
    // keyColumns: the columns of this table compared with the left table;
    // wanted: how many leading columns to keep; keyCodePage: the code page
    // of the left table's values.
    JoinTable(const TableSource& table, std::vector<int> keyColumns, std::size_t wanted, CodePage keyCodePage,
              const std::function<void(std::uint64_t, std::uint64_t)>& progress);

    // Rows whose key equals the given key cells, in file order; empty for a null key.
    template <class Visit>
    void forEachMatch(const Cell* key, Visit visit) const {
        const std::size_t n = keyColumns_.size();
        for (std::size_t i = 0; i < n; ++i)
            if (key[i].isNull()) return;
        const std::size_t head = index_.find(RowKey::hashCells(key, n, chars_.data()), [&](std::size_t row) {
            return RowKey::equalCells(keys_.row(row), key, n, chars_.data());
        });
        for (std::size_t r = head; r != RowIndex::kNone; r = next_[r]) visit(rows_.row(r));
    }

    std::size_t columns() const { return rows_.columns(); }

private:
    std::vector<int> keyColumns_;
    std::vector<CharStepper> chars_;  // of each key column: the left table's code page
    RowStore rows_;
    RowStore keys_;
    RowIndex index_;
    std::vector<std::size_t> next_;  // next row with the same key
};

}  // namespace engine
