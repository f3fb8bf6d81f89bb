// How a spreadsheet cell's stored value becomes the text of one field: the
// value as the spreadsheet shows it, in a form that reads back exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace workbook {

// A number in its shortest form that reads back as the same double, without
// an exponent ("13800138000", "3.5", "0.1"); only magnitudes below 1e-7 or
// from 1e21 on take an exponent ("1E+21").  Minus zero is "0".
void appendNumber(std::string& out, double value);

// The number text of a cell as stored ("13800138000", "1.38E+10", "3.50")
// in the form above; a text that is not a number is kept as it stands.
void appendNumberText(std::string& out, std::string_view stored);

// Which calendar the workbook's serial day numbers count in.
enum class DateSystem { From1900, From1904 };

// What a number format shows of a serial day number.
enum class DateKind {
    None,      // a plain number
    Date,      // "yyyy-mm-dd", then " hh:mm:ss" when the value has a time of day
    TimeOnly,  // "hh:mm:ss" of the time of day
};

// Appends a serial day number as a date or time; false (nothing appended)
// for a value no calendar date stands for (negative, or past 9999-12-31).
bool appendSerialDate(std::string& out, double serial, DateKind kind, DateSystem system);

// An ISO 8601 date cell ("2024-03-01T08:30:00Z") in the form of appendSerialDate:
// "2024-03-01 08:30:00", or "2024-03-01" when the time is midnight.
void appendIsoDate(std::string& out, std::string_view iso);

// A spreadsheet's escape of characters XML cannot carry, "_x000D_" for a
// carriage return ("_x005F_" escapes the underscore itself), undone.  Appends
// text with its escapes replaced.
void appendUnescaped(std::string& out, std::string_view text);

}  // namespace workbook
