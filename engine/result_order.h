// Stable ordering of result rows by key columns (order by): nulls first in
// ascending order, two numbers by value, texts by their letter-case-folded
// bytes; equal keys keep their order, so ties stay in first-occurrence order.
#pragma once

#include <vector>

#include "engine/char_stepper.h"
#include "engine/row_store.h"

namespace engine {

struct SortKey {
    std::size_t column;
    bool descending;
};

// chars: the code page of each column's text.
void sortRows(RowStore& rows, const std::vector<SortKey>& keys, const CharStepper* chars);

}  // namespace engine
