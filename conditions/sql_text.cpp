#include "conditions/sql_text.h"

namespace conditions {

// A single quote (0x27) is never part of a UTF-8 multi-byte character:
// doubling byte by byte is safe.
std::string QuoteSqlText(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    quoted += '\'';
    return quoted;
}

// "]" (0x5D) is never part of a UTF-8 multi-byte character either.
std::string BracketedName(const std::string& name) {
    std::string bracketed;
    bracketed.reserve(name.size() + 2);
    bracketed += '[';
    for (char c : name) {
        bracketed += c;
        if (c == ']') bracketed += ']';
    }
    bracketed += ']';
    return bracketed;
}

}  // namespace conditions
