// Which number formats show a cell's number as a date or a time: the
// built-in format numbers and the codes of a workbook's own formats.
#pragma once

#include <string_view>

#include "workbook/cell_text.h"

namespace workbook {

// A built-in format number (the ones a workbook uses without defining them).
DateKind builtInFormatKind(int formatId);

// A format code such as "yyyy/m/d", "h:mm:ss" or "0.00": its first section,
// with quoted texts, escaped characters and bracketed parts left out, shows a
// date when it holds a year, month or day token, a time alone when it holds
// hours or seconds but no date token.  Elapsed times ("[h]:mm") stay numbers.
DateKind formatCodeKind(std::string_view code);

}  // namespace workbook
