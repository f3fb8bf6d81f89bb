#include "workbook/workbook.h"

#include <charconv>

#include "platform/file_system.h"
#include "workbook/compound_file.h"
#include "workbook/xls_workbook.h"
#include "workbook/xlsx_workbook.h"

namespace workbook {

namespace {

bool endsWithNoCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = text[text.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
        if (c != tail[i]) return false;
    }
    return true;
}

}  // namespace

bool isWorkbookFileName(std::string_view fileName) {
    return endsWithNoCase(fileName, ".xlsx") || endsWithNoCase(fileName, ".xls");
}

std::unique_ptr<Workbook> Workbook::open(const std::string& path, const WorkbookOptions& options) {
    const std::string name = platform::fileNameOf(path);
    switch (fileKindOf(path, name)) {
        case FileKind::ZipPackage:
            return std::make_unique<XlsxWorkbook>(path, name, options);
        case FileKind::CompoundFile:
            return std::make_unique<XlsWorkbook>(path, name);
        case FileKind::Other:
            break;
    }
    throw refusal(Refusal::NotAWorkbook, name, "neither a zip package (.xlsx) nor a compound file (.xls)");
}

std::size_t Workbook::defaultSheet() const {
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < sheets_.size(); ++i)
            if (sheets_[i].holdsData && sheets_[i].hidden == (pass == 1)) return i;
    throw refusal(Refusal::NoData, displayName_);
}

std::size_t Workbook::findSheet(std::string_view nameOrNumber) const {
    for (std::size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].name == nameOrNumber) return i;
    std::size_t number = 0;
    const auto r = std::from_chars(nameOrNumber.data(), nameOrNumber.data() + nameOrNumber.size(), number);
    if (r.ec == std::errc() && r.ptr == nameOrNumber.data() + nameOrNumber.size() && !nameOrNumber.empty()) {
        if (number >= 1 && number <= sheets_.size()) return number - 1;
        throw unknownSheet(displayName_, number);
    }
    throw unknownSheet(displayName_, nameOrNumber);
}

namespace {

struct Attempt {
    std::uint64_t rows;
    std::size_t widest;
    std::size_t firstLine;
};

}  // namespace

TableCopy Workbook::writeTableCopy(std::size_t sheet, const std::string& tablePath) {
    if (sheet >= sheets_.size()) throw unknownSheet(displayName_, sheet + 1);
    platform::FileSystem& fs = platform::FileSystem::current();
    const std::string partPath = tablePath + ".part";
    const auto attempt = [&](std::size_t firstLineFields) {
        auto file = fs.createFile(partPath);
        TableWriter writer(*file, firstLineFields);
        writeRows(sheet, writer);
        writer.finish();
        file->close();
        return Attempt{writer.rows(), writer.widestRow(), writer.firstLineFields()};
    };
    try {
        Attempt done = attempt(0);
        if (done.rows == 0) throw emptySheet(displayName_, sheets_[sheet].name);
        // The engine takes the columns from the first line: when the sheet's
        // stated width was missing or wrong, the copy is written again with
        // the width found.
        if (done.firstLine != done.widest) done = attempt(done.widest);
        fs.renameFile(partPath, tablePath);
        return TableCopy{done.rows, done.widest};
    } catch (...) {
        try {
            fs.removeFile(partPath);
        } catch (...) {
        }
        throw;
    }
}

}  // namespace workbook
