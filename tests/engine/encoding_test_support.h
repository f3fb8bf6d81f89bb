// Helpers for the tests of tables in different encodings: texts written in
// UTF-16 or GBK, and statements run on a connection of either code page.
#pragma once

#include <string>

#include "engine_test_support.h"
#include "platform/code_page.h"

namespace enginetest {

// UTF-8 text as UTF-16 (little or big endian), with or without a byte-order mark.
inline std::string utf16(const std::string& utf8, bool bigEndian, bool mark = true) {
    std::string out;
    auto unit = [&](char32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    };
    if (mark) unit(0xFEFF);
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c;
        std::size_t n;
        if (b < 0x80) c = b, n = 1;
        else if (b < 0xE0) c = b & 0x1F, n = 2;
        else if (b < 0xF0) c = b & 0x0F, n = 3;
        else c = b & 0x07, n = 4;
        for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

inline std::string gbkOf(const std::string& utf8) { return platform::gbk(utf8); }

// The statement with its table placeholder "[T]" naming table.
inline std::string onTable(std::string sql, const std::string& table) {
    sql.replace(sql.find("[T]"), 3, "[" + table + "]");
    return sql;
}

// Runs sql on a connection of the given code page over dir.
inline Result runIn(engine::CodePage codePage, const std::string& dir, const std::string& sql,
                    const std::string& hdr = "Yes", const std::string& fmt = "Delimited(;)") {
    engine::Connection conn;
    conn.open(connectionString(dir, hdr, fmt), codePage);
    return run(conn, sql);
}

// The message of the Error of running sql on such a connection ("" when none).
inline std::string failureIn(engine::CodePage codePage, const std::string& dir, const std::string& sql,
                             const std::string& hdr = "Yes", const std::string& fmt = "Delimited(;)") {
    try {
        runIn(codePage, dir, sql, hdr, fmt);
    } catch (const engine::Error& e) {
        return e.what();
    }
    return "";
}

}  // namespace enginetest
