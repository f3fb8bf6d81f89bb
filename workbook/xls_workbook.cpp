#include "workbook/xls_workbook.h"

#include <freexl.h>

#include "workbook/cell_text.h"
#include "workbook/compound_file.h"  // the mark of an encrypted workbook
#include "workbook/workbook_error.h"

namespace workbook {

namespace {

std::string freexlErrorText(int code) {
    switch (code) {
        case FREEXL_FILE_NOT_FOUND: return "the file cannot be read";
        case FREEXL_INSUFFICIENT_MEMORY: return "out of memory";
        case FREEXL_INVALID_CFBF_HEADER: return "invalid compound file header";
        case FREEXL_CFBF_READ_ERROR: return "compound file read error";
        case FREEXL_CFBF_SEEK_ERROR: return "compound file seek error";
        case FREEXL_CFBF_INVALID_SIGNATURE: return "invalid compound file signature";
        case FREEXL_CFBF_INVALID_SECTOR_SIZE: return "invalid compound file sector size";
        case FREEXL_CFBF_EMPTY_FAT_CHAIN: return "empty allocation chain";
        case FREEXL_CFBF_ILLEGAL_FAT_ENTRY: return "illegal allocation table entry";
        case FREEXL_BIFF_INVALID_BOF: return "invalid BIFF record";
        case FREEXL_BIFF_INVALID_SST: return "invalid shared string table";
        case FREEXL_BIFF_ILLEGAL_SST_INDEX: return "illegal shared string index";
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND: return "no workbook stream";
        case FREEXL_INVALID_CHARACTER: return "a text is not in its declared code page";
        case FREEXL_UNSUPPORTED_CHARSET: return "the workbook's code page is not supported";
        case FREEXL_ILLEGAL_RK_VALUE: return "illegal number record";
        case FREEXL_INVALID_MINI_STREAM: return "invalid mini stream";
        case FREEXL_CFBF_ILLEGAL_MINI_FAT_ENTRY: return "illegal mini allocation table entry";
        case FREEXL_CRAFTED_FILE: return "severely damaged or crafted file";
        default: return "FreeXL error " + std::to_string(code);
    }
}

}  // namespace

XlsWorkbook::XlsWorkbook(const std::string& path, std::string displayName) : Workbook(std::move(displayName)) {
    const int opened = freexl_open(path.c_str(), &handle_);
    if (opened != FREEXL_OK) {
        if (handle_) freexl_close(handle_);
        handle_ = nullptr;
        if (opened == FREEXL_FILE_NOT_FOUND) throw refusal(Refusal::CannotOpen, this->displayName());
        if (holdsEncryptedPackage(path))
            throw refusal(Refusal::Encrypted, this->displayName(), "an encrypted workbook package");
        throw refusal(Refusal::Damaged, this->displayName(), freexlErrorText(opened));
    }
    unsigned protection = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &protection) == FREEXL_OK &&
        protection == FREEXL_BIFF_OBFUSCATED) {
        freexl_close(handle_);
        handle_ = nullptr;
        throw refusal(Refusal::Encrypted, this->displayName(), "the workbook stream is encrypted");
    }
    unsigned count = 0;
    freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &count);
    std::string text;
    for (unsigned i = 0; i < count; ++i) {
        const char* name = nullptr;
        SheetInfo info;
        if (freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name) == FREEXL_OK && name)
            info.name = name;
        unsigned rows = 0;
        unsigned short columns = 0;
        select(i, rows, columns);
        for (unsigned r = 0; r < rows && !info.holdsData; ++r)
            for (unsigned short c = 0; c < columns && !info.holdsData; ++c) {
                text.clear();
                info.holdsData = cellText(r, c, text) && !text.empty();
            }
        sheets_.push_back(std::move(info));
    }
}

XlsWorkbook::~XlsWorkbook() {
    if (handle_) freexl_close(handle_);
}

void XlsWorkbook::select(std::size_t sheet, unsigned& rows, unsigned short& columns) {
    rows = 0;
    columns = 0;
    const int selected = freexl_select_active_worksheet(handle_, static_cast<unsigned short>(sheet));
    if (selected != FREEXL_OK || freexl_worksheet_dimensions(handle_, &rows, &columns) != FREEXL_OK)
        throw refusal(Refusal::Damaged, displayName(), freexlErrorText(selected));
}

bool XlsWorkbook::cellText(unsigned row, unsigned short column, std::string& out) {
    FreeXL_CellValue cell;
    const int got = freexl_get_cell_value(handle_, row, column, &cell);
    if (got != FREEXL_OK) throw refusal(Refusal::Damaged, displayName(), freexlErrorText(got));
    switch (cell.type) {
        case FREEXL_CELL_INT:
            out += std::to_string(cell.value.int_value);
            return true;
        case FREEXL_CELL_DOUBLE:
            appendNumber(out, cell.value.double_value);
            return true;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_TIME:
            if (cell.value.text_value) out += cell.value.text_value;
            return true;
        case FREEXL_CELL_DATETIME: {
            // As an .xlsx date: the time only when the value has one.
            std::string_view text = cell.value.text_value ? cell.value.text_value : "";
            constexpr std::string_view midnight = " 00:00:00";
            if (text.size() > midnight.size() && text.substr(text.size() - midnight.size()) == midnight)
                text.remove_suffix(midnight.size());
            out += text;
            return true;
        }
        default:
            return false;
    }
}

void XlsWorkbook::writeRows(std::size_t sheet, TableWriter& writer) {
    unsigned rows = 0;
    unsigned short columns = 0;
    select(sheet, rows, columns);
    writer.suggestFirstLineFields(columns);
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            std::string& out = writer.cell(c);
            out.clear();
            cellText(r, c, out);
        }
        writer.endRow();
    }
}

}  // namespace workbook
