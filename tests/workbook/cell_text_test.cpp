// Cells' stored values to the text a spreadsheet shows: numbers in their
// shortest exact form, serial days as dates, escapes undone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "workbook/cell_text.h"
#include "workbook/number_formats.h"

using namespace workbook;

namespace {

std::string numberText(std::string_view stored) {
    std::string out;
    appendNumberText(out, stored);
    return out;
}

std::string serialText(double serial, DateKind kind, DateSystem system = DateSystem::From1900) {
    std::string out;
    if (!appendSerialDate(out, serial, kind, system)) return "<none>";
    return out;
}

}  // namespace

TEST(CellNumbers, ShortestExactFormWithoutExponent) {
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"13800138000", "13800138000"},
        {"1.3800138E10", "13800138000"},
        {"1.38E+10", "13800000000"},
        {"3.5", "3.5"},
        {"3.5000", "3.5"},
        {"0.1", "0.1"},
        {"0.30000000000000004", "0.30000000000000004"},
        {"-42", "-42"},
        {"-0", "0"},
        {"0", "0"},
        {"123456789012345", "123456789012345"},
        {"1E-3", "0.001"},
        {"1E+20", "100000000000000000000"},
        {"1E+21", "1E+21"},
        {"2.5E-8", "2.5E-08"},
        {"+7", "7"},
        {"12abc", "12abc"},  // not a number: kept as it stands
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(numberText(c.stored), c.shown) << c.stored;
}

TEST(CellNumbers, EveryPrintedNumberReadsBackAsTheSameDouble) {
    std::srand(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = (std::rand() - RAND_MAX / 2) * 1.0 / (1 + std::rand() % 100000) *
                             (i % 3 == 0 ? 1e-5 : i % 3 == 1 ? 1.0 : 1e12);
        std::string out;
        appendNumber(out, value);
        EXPECT_EQ(std::strtod(out.c_str(), nullptr), value) << out;
    }
}

TEST(CellDates, SerialDaysInBothCalendars) {
    const struct {
        double serial;
        DateKind kind;
        DateSystem system;
        const char* shown;
    } cases[] = {
        {45352, DateKind::Date, DateSystem::From1900, "2024-03-01"},
        {45352.5, DateKind::Date, DateSystem::From1900, "2024-03-01 12:00:00"},
        {45352.354166666664, DateKind::Date, DateSystem::From1900, "2024-03-01 08:30:00"},
        {45352.99999999, DateKind::Date, DateSystem::From1900, "2024-03-02"},  // rounds up to midnight
        {1, DateKind::Date, DateSystem::From1900, "1900-01-01"},
        {59, DateKind::Date, DateSystem::From1900, "1900-02-28"},
        {60, DateKind::Date, DateSystem::From1900, "1900-02-29"},
        {61, DateKind::Date, DateSystem::From1900, "1900-03-01"},
        {0, DateKind::Date, DateSystem::From1900, "1900-01-00"},
        {2958465, DateKind::Date, DateSystem::From1900, "9999-12-31"},
        {0, DateKind::Date, DateSystem::From1904, "1904-01-01"},
        {43890, DateKind::Date, DateSystem::From1904, "2024-03-01"},
        {0.75, DateKind::TimeOnly, DateSystem::From1900, "18:00:00"},
        {45352.5, DateKind::TimeOnly, DateSystem::From1900, "12:00:00"},
        {-1, DateKind::Date, DateSystem::From1900, "<none>"},
        {2958466, DateKind::Date, DateSystem::From1900, "<none>"},
    };
    for (const auto& c : cases) EXPECT_EQ(serialText(c.serial, c.kind, c.system), c.shown) << c.serial;
}

TEST(CellDates, IsoDateCells) {
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"2024-03-01T08:30:00Z", "2024-03-01 08:30:00"},
        {"2024-03-01T08:30:00.250", "2024-03-01 08:30:00"},
        {"2024-03-01T00:00:00", "2024-03-01"},
        {"2024-03-01", "2024-03-01"},
        {"2024-03-01T08:30", "2024-03-01 08:30:00"},
    };
    for (const auto& c : cases) {
        std::string out;
        appendIsoDate(out, c.stored);
        EXPECT_EQ(out, c.shown) << c.stored;
    }
}

TEST(NumberFormats, WhichFormatsShowDates) {
    const struct {
        const char* code;
        DateKind kind;
    } cases[] = {
        {"yyyy-mm-dd", DateKind::Date},
        {"yyyy\"年\"m\"月\"d\"日\"", DateKind::Date},
        {"[$-804]yyyy/m/d;@", DateKind::Date},
        {"m/d/yy h:mm", DateKind::Date},
        {"mmm", DateKind::Date},
        {"h:mm:ss", DateKind::TimeOnly},
        {"mm:ss", DateKind::TimeOnly},
        {"h:mm AM/PM", DateKind::TimeOnly},
        {"[h]:mm:ss", DateKind::None},
        {"General", DateKind::None},
        {"0.00", DateKind::None},
        {"0.00E+00", DateKind::None},
        {"#,##0\"天\"", DateKind::None},
        {"\"day\"0", DateKind::None},
        {"[Red]0.00", DateKind::None},
        {"0.00;[Red]-0.00;\"d\"", DateKind::None},
        {"@", DateKind::None},
    };
    for (const auto& c : cases) EXPECT_EQ(formatCodeKind(c.code), c.kind) << c.code;

    EXPECT_EQ(builtInFormatKind(14), DateKind::Date);
    EXPECT_EQ(builtInFormatKind(22), DateKind::Date);
    EXPECT_EQ(builtInFormatKind(57), DateKind::Date);
    EXPECT_EQ(builtInFormatKind(21), DateKind::TimeOnly);
    EXPECT_EQ(builtInFormatKind(46), DateKind::None);
    EXPECT_EQ(builtInFormatKind(0), DateKind::None);
    EXPECT_EQ(builtInFormatKind(49), DateKind::None);
}

TEST(CellStrings, SpreadsheetEscapesUndone) {
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"a_x000D_b", "a\rb"},
        {"_x000A_", "\n"},
        {"_x005F_x000D_", "_x000D_"},
        {"_x4E2D_", "中"},
        {"_x00e9_", "é"},
        {"user_x_1@qq.com", "user_x_1@qq.com"},
        {"_x12G4_", "_x12G4_"},
        {"_xD800_", "_xD800_"},
        {"ends _x00", "ends _x00"},
        {"plain", "plain"},
    };
    for (const auto& c : cases) {
        std::string out;
        appendUnescaped(out, c.stored);
        EXPECT_EQ(out, c.shown) << c.stored;
    }
}
