// Shared by the fuzz targets: cutting an input into parts, running a
// statement into plain rows, and stopping with a report when a check fails
// (libFuzzer then saves the input as a finding).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/executor.h"
#include "query_rows.h"

namespace fuzzsupport {

// Reports a failed check and aborts, which libFuzzer takes for a crash.
[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "\n*** fuzz check failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool ok, const std::string& what) {
    if (!ok) fail(what);
}

// A fresh folder for scratch files, in memory where there is /dev/shm,
// removed when the program ends.
inline std::string scratchFolder(const std::string& name) {
    static std::vector<std::string> folders;
    std::string folder;
    for (const char* base : {"/dev/shm/", "/tmp/"}) {
        std::string pattern = base + name + "-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            folder = pattern;
            break;
        }
    }
    if (folder.empty()) fail("no temporary folder");
    if (folders.empty())
        std::atexit([] {
            for (const auto& f : folders) {
                std::error_code ignored;
                std::filesystem::remove_all(f, ignored);
            }
        });
    folders.push_back(folder);
    return folder;
}

// Cuts the input at each zero byte: "a\0b\0c" gives a, b, c.  The corpus
// files stay readable, and the mutator keeps the parts apart.
inline std::vector<std::string_view> parts(const std::uint8_t* data, std::size_t size, std::size_t wanted) {
    std::vector<std::string_view> out;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (out.size() + 1 < wanted) {
        const std::size_t zero = rest.find('\0');
        if (zero == std::string_view::npos) break;
        out.push_back(rest.substr(0, zero));
        rest.remove_prefix(zero + 1);
    }
    out.push_back(rest);
    while (out.size() < wanted) out.emplace_back();
    return out;
}

using Cell = testsupport::QueryRows::Cell;
using Rows = testsupport::QueryRows;

// Runs sql; only engine errors are expected, anything else escapes (and
// libFuzzer reports the uncaught exception).
inline Rows run(const engine::QueryContext& context, const std::string& sql) { return testsupport::runQuery(context, sql); }

inline std::string describe(const Rows& r) {
    if (r.error) return "error: " + *r.error;
    std::string s = std::to_string(r.rows.size()) + " rows:";
    for (std::size_t i = 0; i < r.rows.size() && i < 5; ++i) {
        s += "\n  ";
        for (const auto& c : r.rows[i]) s += (c ? "'" + *c + "'" : std::string("null")) + " ";
    }
    return s;
}

}  // namespace fuzzsupport
