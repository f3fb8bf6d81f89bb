// Quoting of a text as an SQL text literal for the engine.
#pragma once

#include <string>

namespace conditions {

// 'text' with every single quote doubled; "" gives ''.
std::string QuoteSqlText(const std::string& text);

}  // namespace conditions
