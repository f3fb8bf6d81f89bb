// One cell of a result file with the bytes before it, in one copy: the hot
// path beside WriteQuotedCell, the plain one.
#pragma once

#include <cstring>
#include <string_view>

#include "csv/csv_result_writer.h"
#include "csv/output_file.h"

namespace csv {

// ⚡ Hot path: a cell without quotes that fits the buffer, with the bytes
// before it (a separator or line end), goes in with one copy; any other cell
// takes the plain path.  Same bytes as lead followed by WriteQuotedCell.
inline void writeQuotedCell(OutputFile& file, std::string_view lead, std::string_view text) {
    const std::size_t n = lead.size() + text.size() + 2;
    // An empty view may hold a null pointer, which memchr and memcpy never take.
    if (n <= file.bufferCapacity() && (text.empty() || std::memchr(text.data(), '"', text.size()) == nullptr)) {
        char* p = file.reserve(n);
        if (!lead.empty()) std::memcpy(p, lead.data(), lead.size());
        p += lead.size();
        *p++ = '"';
        if (!text.empty()) std::memcpy(p, text.data(), text.size());
        p[text.size()] = '"';
        file.commit(n);
        return;
    }
    file.write(lead);
    WriteQuotedCell(file, text);
}

}  // namespace csv
