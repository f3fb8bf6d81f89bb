#include "workbook/cell_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace workbook {

void appendNumber(std::string& out, double value) {
    if (value == 0) {
        out += '0';
        return;
    }
    char buffer[512];
    const double magnitude = std::fabs(value);
    const bool plain = magnitude >= 1e-7 && magnitude < 1e21;
    const auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                              : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    for (char* p = buffer; p != result.ptr; ++p)
        if (*p == 'e') *p = 'E';
    out.append(buffer, result.ptr);
}

void appendNumberText(std::string& out, std::string_view stored) {
    // from_chars takes no leading "+"; a spreadsheet never writes one, but a
    // hand-made file might, and it is still the same number.
    std::string_view digits = stored;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size() || !std::isfinite(value)) {
        out += stored;
        return;
    }
    appendNumber(out, value);
}

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian calendar).
void civilFromDays(long long days, long long& year, unsigned& month, unsigned& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<long long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

void appendTwoDigits(std::string& out, unsigned value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

void appendDate(std::string& out, long long year, unsigned month, unsigned day) {
    char buffer[32];
    const int n = std::snprintf(buffer, sizeof buffer, "%04lld-", year);
    out.append(buffer, static_cast<std::size_t>(n));
    appendTwoDigits(out, month);
    out += '-';
    appendTwoDigits(out, day);
}

void appendTime(std::string& out, long long seconds) {
    appendTwoDigits(out, static_cast<unsigned>(seconds / 3600));
    out += ':';
    appendTwoDigits(out, static_cast<unsigned>(seconds / 60 % 60));
    out += ':';
    appendTwoDigits(out, static_cast<unsigned>(seconds % 60));
}

constexpr long long kDaysFrom1970To1899_12_30 = -25569;
constexpr long long kDaysFrom1970To1904_01_01 = -24107;
constexpr double kLastSerialDay = 2958465;  // 9999-12-31 in the 1900 system

}  // namespace

bool appendSerialDate(std::string& out, double serial, DateKind kind, DateSystem system) {
    if (!std::isfinite(serial) || serial < 0 || serial >= kLastSerialDay + 1) return false;
    long long wholeDays = static_cast<long long>(std::floor(serial));
    long long seconds = std::llround((serial - static_cast<double>(wholeDays)) * 86400.0);
    if (seconds >= 86400) {
        ++wholeDays;
        seconds -= 86400;
    }
    if (kind == DateKind::TimeOnly) {
        appendTime(out, seconds);
        return true;
    }
    if (system == DateSystem::From1904) {
        long long year;
        unsigned month, day;
        civilFromDays(kDaysFrom1970To1904_01_01 + wholeDays, year, month, day);
        appendDate(out, year, month, day);
    } else if (wholeDays == 0) {
        out += "1900-01-00";  // the spreadsheet's own name for day 0
    } else if (wholeDays == 60) {
        out += "1900-02-29";  // the spreadsheet counts 1900 as a leap year
    } else {
        // Before that phantom day the serial counts from 1899-12-31.
        long long year;
        unsigned month, day;
        civilFromDays(kDaysFrom1970To1899_12_30 + wholeDays + (wholeDays < 60 ? 1 : 0), year, month, day);
        appendDate(out, year, month, day);
    }
    if (seconds != 0) {
        out += ' ';
        appendTime(out, seconds);
    }
    return true;
}

void appendIsoDate(std::string& out, std::string_view iso) {
    const std::size_t t = iso.find('T');
    const std::string_view date = iso.substr(0, t);
    out += date;
    if (t == std::string_view::npos) return;
    // hh:mm[:ss], then fractions and the zone, which are left out.
    std::string_view time = iso.substr(t + 1);
    std::size_t end = 0;
    while (end < time.size() && end < 8 && (time[end] == ':' || (time[end] >= '0' && time[end] <= '9'))) ++end;
    time = time.substr(0, end);
    if (time.size() == 5) {
        if (time == "00:00") return;
        out += ' ';
        out += time;
        out += ":00";
        return;
    }
    if (time.empty() || time == "00:00:00") return;
    out += ' ';
    out += time;
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

void appendUnescaped(std::string& out, std::string_view text) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find("_x", from);
        if (at == std::string_view::npos || at + 7 > text.size()) break;
        unsigned code = 0;
        bool escape = text[at + 6] == '_';
        for (std::size_t i = at + 2; escape && i < at + 6; ++i) {
            const int digit = hexValue(text[i]);
            if (digit < 0) escape = false;
            else code = code * 16 + static_cast<unsigned>(digit);
        }
        if (!escape) {
            out.append(text.substr(from, at + 2 - from));
            from = at + 2;
            continue;
        }
        out.append(text.substr(from, at - from));
        // A lone surrogate names no character; it stands as the escape did.
        if (code >= 0xD800 && code <= 0xDFFF) out.append(text.substr(at, 7));
        else appendUtf8(out, code);
        from = at + 7;
    }
    out.append(text.substr(from));
}

}  // namespace workbook
