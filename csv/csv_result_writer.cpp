#include "csv/csv_result_writer.h"

#include "csv/output_file.h"
#include "csv/quoted_cell.h"

namespace csv {

// The plain path of a quoted cell (quoted_cell.h has the hot one).
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
    constexpr std::string_view kSeparator(&kCellSeparator, 1);
    std::string_view lineStart;  // nothing before the first line
    for (result_.first(); !result_.eof(); result_.next(), ++rows) {
        if (check && rows % kRowsPerCheck == 0) check(rows);
        if (columns == 0) file.write(lineStart);
        for (std::size_t column = 0; column < columns; ++column) {
            const auto value = result_.value(column);
            writeQuotedCell(file, column == 0 ? lineStart : kSeparator, value ? *value : std::string_view());
        }
        lineStart = kLineSeparator;
    }
    file.close(!intermediate);
}

}  // namespace csv
