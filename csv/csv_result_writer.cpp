#include "csv/csv_result_writer.h"

#include <cstring>

#include "csv/output_file.h"

namespace csv {

// 0x22 is below 0x40 and so never the trail byte of a GBK character, nor part
// of a UTF-8 multi-byte character: every quote byte is a quote and is doubled.
void WriteQuotedCell(OutputFile& file, std::string_view text) {
    file.write('"');
    while (!text.empty()) {
        const void* hit = std::memchr(text.data(), '"', text.size());
        if (hit == nullptr) {
            file.write(text);
            break;
        }
        const std::size_t upTo = static_cast<const char*>(hit) - text.data() + 1;
        file.write(text.substr(0, upTo));
        file.write('"');
        text.remove_prefix(upTo);
    }
    file.write('"');
}

void CsvResultWriter::WriteCsvFile(const std::string& path, bool byteOrderMark, const RowCheck& check,
                                   bool intermediate) {
    OutputFile file(path);
    if (byteOrderMark) file.write(kUtf8ByteOrderMark);
    const std::size_t columns = result_.columnNames().size();
    std::size_t rows = 0;
    for (result_.first(); !result_.eof(); result_.next(), ++rows) {
        if (check && rows % kRowsPerCheck == 0) check(rows);
        if (rows > 0) file.write(kLineSeparator);
        for (std::size_t column = 0; column < columns; ++column) {
            if (column > 0) file.write(kCellSeparator);
            const auto value = result_.value(column);
            WriteQuotedCell(file, value ? *value : std::string_view());
        }
    }
    file.close(!intermediate);
}

}  // namespace csv
