#include "result_printer.h"

#include <string>

#include "platform/code_page.h"

namespace cli {

namespace {

// A value in the terminal's UTF-8, from the list's encoding.
std::string utf8Value(std::string_view value, engine::CodePage codePage) {
    return codePage == engine::CodePage::Utf8 ? platform::utf8Lossy(value) : platform::gbkToUtf8(value);
}

void appendQuoted(std::string& line, const std::string& value) {
    line += '"';
    for (const char c : value) {
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
        line += platform::utf8Lossy(names[c]);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
    for (std::size_t row = 0; row < result.recordCount(); ++row) {
        line.clear();
        for (std::size_t c = 0; c < names.size(); ++c) {
            if (c) line += ';';
            if (const auto value = result.value(row, c)) appendQuoted(line, utf8Value(*value, result.columnEncoding(c)));
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stream);
    }
    std::fflush(stream);
}

}  // namespace cli
