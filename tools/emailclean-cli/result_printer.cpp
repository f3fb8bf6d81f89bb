#include "result_printer.h"

#include <string>

#include "platform/code_page.h"

namespace cli {

namespace {

void appendQuoted(std::string& line, std::string_view gbkValue) {
    line += '"';
    for (const char c : platform::gbkToUtf8(gbkValue)) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

}  // namespace

void printResultSet(const engine::ResultSet& result, std::FILE* stream) {
    const auto& names = result.columnNames();
    std::string line;
    for (std::size_t c = 0; c < names.size(); ++c) {
        if (c) line += ';';
        line += platform::gbkToUtf8(names[c]);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
    for (std::size_t row = 0; row < result.recordCount(); ++row) {
        line.clear();
        for (std::size_t c = 0; c < names.size(); ++c) {
            if (c) line += ';';
            if (const auto value = result.value(row, c)) appendQuoted(line, *value);
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stream);
    }
    std::fflush(stream);
}

}  // namespace cli
