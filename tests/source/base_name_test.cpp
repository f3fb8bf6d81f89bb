#include "source/base_name.h"

#include <gtest/gtest.h>

using source::BaseName;

struct NameCase {
    std::string file;
    std::string base;
};

class BaseNames : public testing::TestWithParam<NameCase> {};

TEST_P(BaseNames, DropLastFourCharacters) { EXPECT_EQ(BaseName(GetParam().file), GetParam().base); }

INSTANTIATE_TEST_SUITE_P(
    Cases, BaseNames,
    testing::Values(NameCase{"list.csv", "list"}, NameCase{"a.txt", "a"}, NameCase{".csv", ""},
                    NameCase{"abc", ""}, NameCase{"", ""}, NameCase{"data.xlsx", "data."},
                    // "名单.csv": double-byte characters count as one each.
                    NameCase{"\xc3\xfb\xb5\xa5.csv", "\xc3\xfb\xb5\xa5"},
                    // "a名单" with no extension: the last four characters are two of each kind.
                    NameCase{"ab\xc3\xfb\xb5\xa5", ""},
                    NameCase{"xab\xc3\xfb\xb5\xa5", "x"},
                    // An extension of double-byte characters: ".名单表" is four characters.
                    NameCase{"list.\xc3\xfb\xb5\xa5\xb1\xed", "list"}));
