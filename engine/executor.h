// Runs one statement to its end: parses it, opens its tables, binds its
// names, scans, groups, orders and cuts; the rows come back materialised.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "engine/char_stepper.h"
#include "engine/engine.h"
#include "engine/row_store.h"
#include "engine/table_format.h"
#include "engine/table_source.h"

namespace engine {

struct QueryResult {
    std::vector<std::string> columnNames;
    std::vector<CodePage> columnEncodings;  // of the values of each named column
    RowStore rows;                 // may hold hidden sort columns after the named ones
    std::uint64_t matchedRows = 0;  // rows that passed the where clause (and the join)
};

struct QueryContext {
    std::string dataSource;
    TableFormat defaults;
    CharStepper chars;   // the connection's code page: of the statement, names and messages
    // Tables held in memory, found by name before the files of dataSource.
    std::vector<MemoryTable> memoryTables;
    // Smaller tables are read by one thread (tests set it low to try the cut).
    std::uint64_t parallelMinimum = 16u << 20;
};

QueryResult runStatement(const QueryContext& context, const std::string& sql, ScanObserver* observer);

// What one statement of a batch gave: its result, or the Error it failed with.
struct BatchOutcome {
    QueryResult result;
    std::exception_ptr failure;
    bool settled = false;
};

// Runs several statements; those that read the same table without a join
// share one scan of it.  Each outcome is what runStatement would give for its
// statement alone (the same rows in the same order, or the same failure).
std::vector<BatchOutcome> runStatements(const QueryContext& context, const std::vector<std::string>& sqls,
                                        ScanObserver* observer);

}  // namespace engine
