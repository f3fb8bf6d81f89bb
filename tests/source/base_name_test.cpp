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
                    // Chinese characters and emoji count as one each.
                    NameCase{"名单.csv", "名单"}, NameCase{"ab名单", ""}, NameCase{"xab名单", "x"},
                    // An extension of Chinese characters: ".名单表" is four characters.
                    NameCase{"list.名单表", "list"}, NameCase{"名单😀.csv", "名单😀"},
                    NameCase{"list.😀😀😀", "list"}));
