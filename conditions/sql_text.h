// Quoting for the engine: a text as an SQL text literal, a table or column
// name in brackets.
#pragma once

#include <string>

namespace conditions {

// 'text' with every single quote doubled; "" gives ''.
std::string QuoteSqlText(const std::string& text);

// "[" name "]" with every "]" of the name doubled, which the engine reads as
// one "]" inside brackets: how the tool names a table (a file name may hold
// "]").  Column names stand in brackets as they are.  The name is UTF-8,
// where no multi-byte character holds the byte "]".  A name without "]"
// comes out as "[" name "]".
std::string BracketedName(const std::string& name);

}  // namespace conditions
