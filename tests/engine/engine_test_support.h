// Helpers for the engine tests: a temporary directory with files written as
// bytes, and running a statement into a plain table of optional texts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine.h"
#include "connection_string.h"
#include "temp_dir.h"

namespace enginetest {

using Cell = std::optional<std::string>;
using Rows = std::vector<std::vector<Cell>>;

// A temporary directory; write(name, bytes) puts a file in it (name in UTF-8).
using TempDir = testsupport::TempDir;

using testsupport::connectionString;

struct Result {
    std::vector<std::string> names;
    Rows rows;
};

inline Result run(engine::Connection& conn, const std::string& sql) {
    engine::ResultSet rs;
    rs.open(conn, sql);
    Result r;
    r.names = rs.columnNames();
    for (rs.first(); !rs.eof(); rs.next()) {
        std::vector<Cell> row;
        for (std::size_t c = 0; c < r.names.size(); ++c) {
            auto v = rs.value(c);
            row.push_back(v ? Cell(std::string(*v)) : std::nullopt);
        }
        r.rows.push_back(std::move(row));
    }
    EXPECT_EQ(r.rows.size(), rs.recordCount());
    return r;
}

// Runs sql on a connection over dir and returns its rows.
inline Result run(const std::string& dir, const std::string& sql, const std::string& hdr = "Yes",
                  const std::string& fmt = "Delimited(;)") {
    engine::Connection conn;
    conn.open(connectionString(dir, hdr, fmt));
    return run(conn, sql);
}

// The message of the Error that running sql raises ("" when none is raised).
inline std::string failure(const std::string& dir, const std::string& sql, const std::string& hdr = "Yes",
                           const std::string& fmt = "Delimited(;)") {
    try {
        run(dir, sql, hdr, fmt);
    } catch (const engine::Error& e) {
        return e.what();
    }
    return "";
}

// One column of a result, nulls as "<null>".
inline std::vector<std::string> column(const Result& r, std::size_t c = 0) {
    std::vector<std::string> out;
    for (const auto& row : r.rows) out.push_back(row[c] ? *row[c] : "<null>");
    return out;
}

}  // namespace enginetest
