#include "export/integer_text.h"

#include <limits>

#include "export/uncaught_failure.h"

namespace exporting {

namespace {

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::int32_t StrToInt(const std::string& text) {
    auto invalid = [&]() -> UncaughtFailure {
        return UncaughtFailure("'" + text + "' is not a valid integer value");
    };
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    bool hex = false;
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        hex = true;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        hex = true;
        pos += 2;
    }
    if (pos == text.size()) throw invalid();

    // Accumulate the magnitude in 64 bits; stop as soon as it cannot fit.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = digitValue(text[pos], hex);
        if (digit < 0) throw invalid();
        magnitude = magnitude * (hex ? 16 : 10) + digit;
        if (magnitude > limit) throw invalid();
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace exporting
