// Converting text between the engine's two code pages, GBK and UTF-8, where
// texts of different encodings meet: a statement's literals and a table's
// column names (once per statement), the join keys of a table in another
// encoding than the table it is joined with (once per row of that table), and
// expressions that compare columns of two such tables.
//
// The conversion follows the system's GBK converter (iconv "GBK") exactly:
// each character is asked of it once per process and then looked up in a
// table.  Characters step as CharStepper steps them.
#pragma once

#include <string>
#include <string_view>

#include "engine/engine.h"

namespace engine {

// Appends text, written in code page from, to out in code page to.  Returns
// false when some character cannot be written in `to` or is not valid in
// `from`; such a character is still written, as "?" in GBK and U+FFFD in
// UTF-8 (one per byte that is not valid text), so that out is always usable
// for display.  from == to appends the bytes unchanged (and returns true).
bool appendConverted(std::string& out, std::string_view text, CodePage from, CodePage to);

// The same, as a new string; convenient where speed does not matter.
std::string converted(std::string_view text, CodePage from, CodePage to);

// The name of a code page for messages: "GBK" or "UTF-8".
const char* codePageName(CodePage codePage);

}  // namespace engine
