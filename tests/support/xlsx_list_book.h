// Workbooks of address lists as a spreadsheet library writes them
// (libxlsxwriter), for the tests that open them as sources: each sheet a
// table of typed cells, written with shared strings or, in the library's
// constant-memory mode, inline strings.
#pragma once

#include <xlsxwriter.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

struct BookCell {
    enum Kind { Empty, Text, Number, Boolean, Date, DateTime, Formula, TextFormula } kind = Empty;
    std::string text;   // Text; the formula of Formula and TextFormula
    double number = 0;  // Number, Boolean (0/1), the cached result of Formula
    std::string result; // the cached text of TextFormula
    int ymd[3] = {0, 0, 0};
    int hm[2] = {0, 0};
};

inline BookCell cell(BookCell::Kind kind, std::string text = {}, double number = 0) {
    BookCell c;
    c.kind = kind;
    c.text = std::move(text);
    c.number = number;
    return c;
}
inline BookCell text(std::string t) { return cell(BookCell::Text, std::move(t)); }
inline BookCell number(double n) { return cell(BookCell::Number, {}, n); }
inline BookCell boolean(bool b) { return cell(BookCell::Boolean, {}, b ? 1.0 : 0.0); }
inline BookCell empty() { return {}; }
inline BookCell date(int y, int m, int d) {
    BookCell c = cell(BookCell::Date);
    c.ymd[0] = y, c.ymd[1] = m, c.ymd[2] = d;
    return c;
}
inline BookCell dateTime(int y, int m, int d, int h, int min) {
    BookCell c = date(y, m, d);
    c.kind = BookCell::DateTime;
    c.hm[0] = h, c.hm[1] = min;
    return c;
}
inline BookCell formula(std::string f, double cached) { return cell(BookCell::Formula, std::move(f), cached); }
inline BookCell textFormula(std::string f, std::string cached) {
    BookCell c = cell(BookCell::TextFormula, std::move(f));
    c.result = std::move(cached);
    return c;
}

struct BookSheet {
    std::string name;
    std::vector<std::vector<BookCell>> rows;
    bool hidden = false;
};

// Writes the sheets; a blank cell with a number format after the last row
// of each sheet (formatted, but not data).
inline void writeListBook(const std::string& path, const std::vector<BookSheet>& sheets, bool inlineStrings = false) {
    lxw_workbook_options options = {};
    options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    if (!book) throw std::runtime_error("cannot create test workbook " + path);
    lxw_format* dateFormat = workbook_add_format(book);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    lxw_format* stampFormat = workbook_add_format(book);
    format_set_num_format(stampFormat, "yyyy-mm-dd hh:mm");
    lxw_format* money = workbook_add_format(book);
    format_set_num_format(money, "0.00");
    for (const BookSheet& s : sheets) {
        lxw_worksheet* sheet = workbook_add_worksheet(book, s.name.c_str());
        lxw_row_t r = 0;
        for (const auto& row : s.rows) {
            lxw_col_t c = 0;
            for (const BookCell& cell : row) {
                switch (cell.kind) {
                case BookCell::Empty: break;
                case BookCell::Text: worksheet_write_string(sheet, r, c, cell.text.c_str(), nullptr); break;
                case BookCell::Number: worksheet_write_number(sheet, r, c, cell.number, nullptr); break;
                case BookCell::Boolean: worksheet_write_boolean(sheet, r, c, cell.number != 0, nullptr); break;
                case BookCell::Date:
                case BookCell::DateTime: {
                    lxw_datetime when = {cell.ymd[0], cell.ymd[1], cell.ymd[2], cell.hm[0], cell.hm[1], 0};
                    worksheet_write_datetime(sheet, r, c, &when,
                                             cell.kind == BookCell::Date ? dateFormat : stampFormat);
                    break;
                }
                case BookCell::Formula:
                    worksheet_write_formula_num(sheet, r, c, cell.text.c_str(), nullptr, cell.number);
                    break;
                case BookCell::TextFormula:
                    worksheet_write_formula_str(sheet, r, c, cell.text.c_str(), nullptr, cell.result.c_str());
                    break;
                }
                ++c;
            }
            ++r;
        }
        if (!s.rows.empty()) worksheet_write_blank(sheet, r + 1, 0, money);
        if (s.hidden) worksheet_hide(sheet);
    }
    if (workbook_close(book) != LXW_NO_ERROR) throw std::runtime_error("cannot write test workbook " + path);
}

// A one-column sheet of texts.
inline BookSheet textColumn(std::string name, const std::vector<std::string>& values) {
    BookSheet sheet{std::move(name), {}};
    for (const auto& v : values) sheet.rows.push_back({text(v)});
    return sheet;
}

}  // namespace testsupport
