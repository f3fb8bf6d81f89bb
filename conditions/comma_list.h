// The comma-list rule by which every user-entered list (prefix lists, suffix
// lists, domain groups) is cut into items.
#pragma once

#include <string>
#include <vector>

namespace conditions {

// Items in order of appearance, duplicates kept, empty items possible.
// Blanks (codes 1 to 32) and commas separate items; a double-quoted item may
// hold both, "" inside it standing for one quote.  Works on UTF-8 bytes: no
// structural byte is ever part of a multi-byte character.
std::vector<std::string> SplitCommaList(const std::string& text);

}  // namespace conditions
