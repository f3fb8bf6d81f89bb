// Prints a result set the way textsql does: the column names on the first
// line, then one line per row; cells separated by ";", each value in double
// quotes (a quote inside doubled), a null as an empty cell.  Values are
// converted from the list's encoding to UTF-8 for the terminal.
#pragma once

#include <cstdio>

#include "engine/engine.h"

namespace cli {

void printResultSet(const engine::ResultSet& result, std::FILE* stream);

}  // namespace cli
