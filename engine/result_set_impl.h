// The state behind a ResultSet: the rows of the statement it ran and its cursor.
#pragma once

#include "engine/engine.h"
#include "engine/executor.h"

namespace engine {

struct ResultSet::Impl {
    bool open = false;
    QueryResult result;
    std::size_t rows = 0;  // the record count, kept: the cursor asks for it at every step
    std::size_t position = 0;
    CharStepper chars;

    // The result is in place: the set is open at its first row.
    void opened(const CharStepper& resultChars) {
        chars = resultChars;
        rows = result.rows.rows();
        position = 0;
        open = true;
    }
};

// The engine's view of an open connection; throws Error when it is not open.
QueryContext queryContext(const Connection& conn);

}  // namespace engine
