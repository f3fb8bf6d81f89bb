// Why a workbook cannot be read: each refusal is a text fit to show a
// person (Chinese, naming the file), with English technical detail on a
// second line where there is some.  Texts are UTF-8.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace workbook {

enum class Refusal {
    CannotOpen,    // the file cannot be opened or read
    Encrypted,     // protected by a password to open
    NotAWorkbook,  // neither format (a text or a web page named .xls, an empty file)
    Damaged,       // damaged or truncated
    NoData,        // no worksheet holds data
    UnknownSheet,  // the sheet asked for does not exist
    TooLarge,      // a part would inflate beyond the limits
    UnsafeXml,     // a document type declaration (entities, DTD)
};

class WorkbookError : public std::runtime_error {
public:
    WorkbookError(Refusal refusal, const std::string& text) : std::runtime_error(text), refusal_(refusal) {}
    Refusal refusal() const { return refusal_; }

private:
    Refusal refusal_;
};

// The refusal's text for the workbook fileName (its name without folder),
// then detail on a line of its own when there is any.
WorkbookError refusal(Refusal kind, std::string_view fileName, std::string_view detail = {});

// The sheet asked for does not exist: by name, or by its number (from 1).
WorkbookError unknownSheet(std::string_view fileName, std::string_view sheetName);
WorkbookError unknownSheet(std::string_view fileName, std::size_t sheetNumber);

// The sheet asked for holds no row with text (NoData).
WorkbookError emptySheet(std::string_view fileName, std::string_view sheetName);

}  // namespace workbook
