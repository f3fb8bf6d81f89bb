#include "export/integer_text.h"

#include <gtest/gtest.h>

#include "export/split_export.h"
#include "export/uncaught_failure.h"

using exporting::StrToInt;

struct Converts {
    const char* text;
    std::int32_t value;
};

class IntegerTextValid : public testing::TestWithParam<Converts> {};

TEST_P(IntegerTextValid, Converts) { EXPECT_EQ(StrToInt(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerTextValid,
    testing::Values(Converts{"0", 0}, Converts{"50000", 50000}, Converts{"050", 50},
                    Converts{"  12", 12}, Converts{"+7", 7}, Converts{"-7", -7},
                    Converts{"$1F", 31}, Converts{"x10", 16}, Converts{"X10", 16},
                    Converts{"0x10", 16}, Converts{"0XfF", 255}, Converts{"-$10", -16},
                    Converts{"2147483647", 2147483647}, Converts{"-2147483648", INT32_MIN},
                    Converts{"$7FFFFFFF", 2147483647}));

class IntegerTextInvalid : public testing::TestWithParam<const char*> {};

TEST_P(IntegerTextInvalid, FailsWithTheText) {
    const std::string text = GetParam();
    try {
        StrToInt(text);
        FAIL() << "converted " << text;
    } catch (const exporting::UncaughtFailure& e) {
        EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegerTextInvalid,
                         testing::Values("", " ", "abc", "12 ", "1.5", "99999999999", "2147483648",
                                         "-2147483649", "$", "0x", "-", "+-1", "$80000000", "1e3",
                                         "\t5", "\xd2\xbb"));

TEST(SplitSizeLimit, KilobytesAndMegabytesIn64Bits) {
    EXPECT_EQ(exporting::SplitSizeLimit(1, 0), 1024);
    EXPECT_EQ(exporting::SplitSizeLimit(4, 1), 4LL * 1048576);
    EXPECT_EQ(exporting::SplitSizeLimit(2048, 1), 2048LL * 1048576);  // 2 GB no longer overflows
    EXPECT_EQ(exporting::SplitSizeLimit(2097152, 0), 2097152LL * 1024);
    EXPECT_EQ(exporting::SplitSizeLimit(2147483647, 1), 2147483647LL * 1048576);
    EXPECT_EQ(exporting::SplitSizeLimit(3, 7), 3LL * 1048576);  // any index but 0 is MB
}
