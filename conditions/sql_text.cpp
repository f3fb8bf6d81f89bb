#include "conditions/sql_text.h"

namespace conditions {

namespace {

// open, the text with every close character doubled, close.  A single quote
// (0x27) and "]" (0x5D) are never part of a UTF-8 multi-byte character:
// doubling byte by byte is safe.
std::string enclosed(const std::string& text, char open, char close) {
    std::string out;
    out.reserve(text.size() + 2);
    out += open;
    for (char c : text) {
        out += c;
        if (c == close) out += close;
    }
    out += close;
    return out;
}

}  // namespace

std::string QuoteSqlText(const std::string& text) { return enclosed(text, '\'', '\''); }

std::string BracketedName(const std::string& name) { return enclosed(name, '[', ']'); }

}  // namespace conditions
