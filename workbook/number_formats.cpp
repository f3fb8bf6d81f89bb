#include "workbook/number_formats.h"

namespace workbook {

DateKind builtInFormatKind(int formatId) {
    // 14-17, 22 and the East Asian 27-31, 36, 50-58 are dates; 18-21, 32-35
    // and 45, 47 times of day.  46 ("[h]:mm:ss") is an elapsed time.
    if ((formatId >= 14 && formatId <= 17) || formatId == 22) return DateKind::Date;
    if ((formatId >= 27 && formatId <= 31) || formatId == 36 || (formatId >= 50 && formatId <= 58))
        return DateKind::Date;
    if ((formatId >= 18 && formatId <= 21) || (formatId >= 32 && formatId <= 35) || formatId == 45 ||
        formatId == 47)
        return DateKind::TimeOnly;
    return DateKind::None;
}

namespace {

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if ((text[at + i] | 0x20) != word[i]) return false;
    return true;
}

}  // namespace

DateKind formatCodeKind(std::string_view code) {
    if (startsWithNoCase(code, 0, "general")) return DateKind::None;
    bool date = false, time = false, month = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') break;  // the first section is the one positive numbers take
        if (startsWithNoCase(code, i, "am/pm")) {
            time = true;
            i += 4;
            continue;
        }
        if (startsWithNoCase(code, i, "a/p")) {
            time = true;
            i += 2;
            continue;
        }
        // "0.00E+00" is a number in scientific form, not an era year.
        if ((c | 0x20) == 'e' && i + 1 < code.size() && (code[i + 1] == '+' || code[i + 1] == '-')) {
            ++i;
            continue;
        }
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos) break;
            i = close;
            continue;
        }
        if (c == '\\' || c == '_' || c == '*') {  // an escaped, spacing or fill character
            ++i;
            continue;
        }
        if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos) break;
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            const char first = inside.empty() ? '\0' : static_cast<char>(inside.front() | 0x20);
            if (first == 'h' || first == 'm' || first == 's') return DateKind::None;  // elapsed time
            i = close;
            continue;
        }
        switch (c | 0x20) {
            case 'y': case 'd': case 'e': case 'g': case 'b':
                date = true;
                break;
            case 'h': case 's':
                time = true;
                break;
            case 'm':
                month = true;
                break;
            default:
                break;
        }
    }
    // "m" is the month unless it stands with hours or seconds ("mm:ss").
    if (date || (month && !time)) return DateKind::Date;
    if (time) return DateKind::TimeOnly;
    return DateKind::None;
}

}  // namespace workbook
