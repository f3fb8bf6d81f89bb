// The plan of one statement: its tables, the expressions of each clause bound
// to their columns and encodings, and what the scan must read.  Built once,
// then shared read-only by the scanning threads.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/char_stepper.h"
#include "engine/executor.h"
#include "engine/expression.h"
#include "engine/join_table.h"
#include "engine/table_source.h"

namespace engine {

inline constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

struct JoinSpec {
    bool left = false;
    std::vector<int> leftKeys;
    std::vector<int> rightKeys;
};

// Everything the scanning threads share, read-only.
struct Plan {
    CharStepper chars;
    SelectStatement statement;
    std::vector<std::unique_ptr<Expr>> starColumns;
    std::vector<const Expr*> outputs;
    std::vector<std::string> names;
    std::vector<const Expr*> orderExprs;
    std::vector<bool> orderDescending;
    std::vector<int> orderOutput;  // selected column an order item names, or -1
    // Code page of the text of each column of the result rows: the selected
    // columns, then the hidden sort columns.
    std::vector<CharStepper> rowChars;
    std::vector<CharStepper> groupKeyChars;
    bool grouped = false;
    GroupOutputScope scope;
    std::vector<TableSource> tables;
    std::size_t wanted[2] = {0, 0};
    JoinSpec join;
    std::unique_ptr<JoinTable> joinTable;
    std::uint64_t scanLimit = kNoLimit;
    const ScanObserver* observer = nullptr;  // asked to stop also between blocks
    std::uint64_t parallelMinimum = 16u << 20;  // the context's: smaller tables are read by one thread
};

// Parses nothing: plan.statement and plan.chars are set.  Opens the tables,
// binds every clause and settles encodings; throws Error for a statement
// that cannot run.
void buildPlan(Plan& plan, const QueryContext& context);

}  // namespace engine
