// A plain reading of delimited text, the reference the engine's block
// reader (engine/csv_reader.cpp, a clever hot path) is compared against:
// every field of every row, one byte at a time, no buffers.
//
// A row ends at a line feed or at the end of the text; a carriage return
// before a line feed (or the end) is dropped from the row's last field.  A
// field that begins with a double quote runs to the closing quote (a doubled
// quote stands for one) and takes the bytes after it up to the separator or
// the line end; an unclosed quote is an error.  An empty field is null.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

using ReferenceRow = std::vector<std::optional<std::string>>;

struct ReferenceTable {
    std::vector<ReferenceRow> rows;
    bool unterminatedQuote = false;
};

inline ReferenceTable referenceRows(std::string_view text, char separator) {
    ReferenceTable table;
    const std::size_t n = text.size();
    std::size_t p = 0;
    auto value = [](std::string v) { return v.empty() ? std::optional<std::string>() : std::optional<std::string>(v); };
    while (p < n) {
        ReferenceRow row;
        for (;;) {
            std::string field;
            std::size_t t;  // the separator or line feed after the field, or n
            if (p < n && text[p] == '"') {
                std::size_t q = p + 1;
                for (;;) {
                    if (q >= n) {
                        table.unterminatedQuote = true;
                        return table;
                    }
                    if (text[q] == '"') {
                        if (q + 1 < n && text[q + 1] == '"') {
                            field += '"';
                            q += 2;
                            continue;
                        }
                        break;
                    }
                    field += text[q++];
                }
                t = q + 1;
                while (t < n && text[t] != separator && text[t] != '\n') ++t;
                std::size_t tail = t;
                if (tail > q + 1 && (t == n || text[t] == '\n') && text[tail - 1] == '\r') --tail;
                field.append(text.substr(q + 1, tail - (q + 1)));
            } else {
                t = p;
                while (t < n && text[t] != separator && text[t] != '\n') ++t;
                std::size_t end = t;
                if (end > p && (t == n || text[t] == '\n') && text[end - 1] == '\r') --end;
                field.assign(text.substr(p, end - p));
            }
            row.push_back(value(field));
            if (t >= n) {
                p = n;
                break;
            }
            p = t + 1;
            if (text[t] == '\n') break;
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

// What "select * from" the text gives: the column names and the rows, each
// with as many fields as the first line has (missing ones null).
struct ReferenceSelect {
    std::vector<std::string> names;
    std::vector<ReferenceRow> rows;
    bool unterminatedQuote = false;
};

inline ReferenceSelect referenceSelectAll(std::string_view text, char separator, bool header) {
    ReferenceSelect out;
    ReferenceTable table = referenceRows(text, separator);
    out.unterminatedQuote = table.unterminatedQuote;
    if (table.rows.empty() || out.unterminatedQuote) return out;
    const ReferenceRow& first = table.rows.front();
    for (std::size_t i = 0; i < first.size(); ++i)
        out.names.push_back(header && first[i] ? *first[i] : "F" + std::to_string(i + 1));
    for (std::size_t r = header ? 1 : 0; r < table.rows.size(); ++r) {
        ReferenceRow row = table.rows[r];
        row.resize(first.size());
        out.rows.push_back(std::move(row));
    }
    return out;
}

}  // namespace testsupport
