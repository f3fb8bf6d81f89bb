// Helpers for the engine tests: a temporary directory with files written as
// bytes, and running a statement into a plain table of optional texts.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine.h"

namespace enginetest {

using Cell = std::optional<std::string>;
using Rows = std::vector<std::vector<Cell>>;

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "engine-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }

    // Writes bytes to a file of this directory (name in UTF-8, the file system's).
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string full = path_ + "/" + name;
        std::ofstream out(full, std::ios::binary | std::ios::trunc);
        out << bytes;
        return full;
    }

private:
    std::string path_;
};

// Connection string the way the tool composes it.
inline std::string connectionString(const std::string& dir, const std::string& hdr, const std::string& fmt) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir + ";Extended Properties=\"Text;HDR=" + hdr +
           ";IMEX=1;FMT=" + fmt + "\"";
}

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
