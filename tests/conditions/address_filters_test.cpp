#include "conditions/address_filters.h"

#include <gtest/gtest.h>

using namespace conditions;

struct LengthCase {
    const char* op;
    const char* number;
    bool negate;
    const char* expected;
};

class PrefixLength : public testing::TestWithParam<LengthCase> {};

TEST_P(PrefixLength, Composes) {
    const LengthCase& c = GetParam();
    EXPECT_EQ(PrefixLengthCondition("F1", c.op, c.number, c.negate), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrefixLength,
    testing::Values(LengthCase{">", "9", false, "InStr([F1],'@')-1>9"},
                    LengthCase{">", "9", true, "InStr([F1],'@')-1<=9"},
                    LengthCase{"<", "3", false, "InStr([F1],'@')-1<3"},
                    LengthCase{"<", "3", true, "InStr([F1],'@')-1>=3"},
                    LengthCase{"=", "3", true, "InStr([F1],'@')-1>=3"},
                    LengthCase{">", "abc", false, "InStr([F1],'@')-1>abc"},
                    LengthCase{">", "", false, "InStr([F1],'@')-1>"}));

struct ListCase {
    const char* list;
    bool negate;
    const char* prefix;
    const char* suffix;
};

class ListConditions : public testing::TestWithParam<ListCase> {};

TEST_P(ListConditions, Compose) {
    const ListCase& c = GetParam();
    EXPECT_EQ(PrefixListCondition("F1", c.list, c.negate), c.prefix);
    EXPECT_EQ(SuffixListCondition("F1", c.list, c.negate), c.suffix);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListConditions,
    testing::Values(
        ListCase{"p,q", false, "([F1] like 'p@%.%' or  [F1] like 'q@%.%')",
                 "([F1] like '%@p' or  [F1] like '%@q')"},
        ListCase{"p,q", true, "([F1] not like 'p@%.%' and [F1] not like 'q@%.%')",
                 "([F1] not like '%@p' and [F1] not like '%@q')"},
        ListCase{"p", false, "([F1] like 'p@%.%')", "([F1] like '%@p')"},
        ListCase{"p", true, "([F1] not like 'p@%.%')", "([F1] not like '%@p')"},
        ListCase{"   ", false, "()", "()"},
        ListCase{"", true, "()", "()"},
        ListCase{"p,,", false, "([F1] like 'p@%.%' or  [F1] like '@%.%' or  [F1] like '@%.%')",
                 "([F1] like '%@p' or  [F1] like '%@' or  [F1] like '%@')"},
        ListCase{"o'k", false, "([F1] like 'o''k@%.%')", "([F1] like '%@o''k')"},
        ListCase{"a%", true, "([F1] not like 'a%@%.%')", "([F1] not like '%@a%')"},
        ListCase{"\"a,b\" c", false, "([F1] like 'a,b@%.%' or  [F1] like 'c@%.%')",
                 "([F1] like '%@a,b' or  [F1] like '%@c')"}));

TEST(ListConditions, DoubleByteTextEndsWithLastPattern) {
    // "邮箱" as column, items "甲" and "乙" in GBK.
    const std::string column = "\xd3\xca\xcf\xe4";
    const std::string list = "\xbc\xd7,\xd2\xd2";
    EXPECT_EQ(PrefixListCondition(column, list, false),
              "([" + column + "] like '\xbc\xd7@%.%' or  [" + column + "] like '\xd2\xd2@%.%')");
    EXPECT_EQ(SuffixListCondition(column, list, true),
              "([" + column + "] not like '%@\xbc\xd7' and [" + column + "] not like '%@\xd2\xd2')");
}
