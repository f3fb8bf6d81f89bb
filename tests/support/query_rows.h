// A statement run straight through the engine's executor (memory tables, the
// two-thread cut on small tables) into plain rows, or the engine's message.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/executor.h"

namespace testsupport {

struct QueryRows {
    using Cell = std::optional<std::string>;
    std::vector<std::string> names;
    std::vector<std::vector<Cell>> rows;
    std::optional<std::string> error;  // the engine's message
    bool operator==(const QueryRows&) const = default;
};

// Runs sql; only engine errors are caught, anything else escapes.
inline QueryRows runQuery(const engine::QueryContext& context, const std::string& sql) {
    QueryRows out;
    try {
        auto result = engine::runStatement(context, sql, nullptr);
        out.names = result.columnNames;
        for (std::size_t r = 0; r < result.rows.rows(); ++r) {
            std::vector<QueryRows::Cell> row;
            for (std::size_t c = 0; c < out.names.size(); ++c) {
                const auto& cell = result.rows.cell(r, c);
                row.push_back(cell.isNull() ? QueryRows::Cell() : QueryRows::Cell(std::string(cell.view())));
            }
            out.rows.push_back(std::move(row));
        }
    } catch (const engine::Error& e) {
        out.error = e.what();
    }
    return out;
}

}  // namespace testsupport
