#include "conditions/comma_list.h"

#include <gtest/gtest.h>

using conditions::SplitCommaList;
using Items = std::vector<std::string>;

struct SplitCase {
    std::string text;
    Items items;
};

class CommaList : public testing::TestWithParam<SplitCase> {};

TEST_P(CommaList, Splits) {
    EXPECT_EQ(SplitCommaList(GetParam().text), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommaList,
    testing::Values(
        SplitCase{"p,q", {"p", "q"}},
        SplitCase{" p , q ", {"p", "q"}},
        SplitCase{"p q", {"p", "q"}},
        SplitCase{"p,,q", {"p", "", "q"}},
        SplitCase{",p", {"", "p"}},
        SplitCase{"p,", {"p", ""}},
        SplitCase{"p, ", {"p"}},
        SplitCase{"p,,", {"p", "", ""}},
        SplitCase{"", {}},
        SplitCase{"   ", {}},
        SplitCase{"\t\r\n \x01\x1f", {}}));

INSTANTIATE_TEST_SUITE_P(
    Quoted, CommaList,
    testing::Values(
        SplitCase{"\"a, b\",q", {"a, b", "q"}},
        SplitCase{"\"a\"b", {"a", "b"}},
        SplitCase{"\"\"", {""}},
        SplitCase{"\"\",p", {"", "p"}},
        SplitCase{"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        SplitCase{"a\"b,c", {"a\"b", "c"}},
        // An unclosed quote takes the rest of the text, last character included.
        SplitCase{"p,\"ab, c", {"p", "ab, c"}},
        SplitCase{"\"a\"\"b", {"a\"b"}}));

INSTANTIATE_TEST_SUITE_P(
    Blanks, CommaList,
    testing::Values(
        // Tabs and other control characters separate like blanks.
        SplitCase{"p\tq", {"p", "q"}},
        SplitCase{"p\r\nq", {"p", "q"}},
        SplitCase{"p\x01q", {"p", "q"}},
        // Code 127 and above are item characters.
        SplitCase{"p\x7fq", {"p\x7fq"}},
        SplitCase{std::string("p\0q", 3), {std::string("p\0q", 3)}},
        SplitCase{"p ,q", {"p", "q"}},
        SplitCase{"p  q  ,  r", {"p", "q", "r"}}));

INSTANTIATE_TEST_SUITE_P(
    DoubleByte, CommaList,
    testing::Values(
        // "甲,乙" and a character whose trail byte is 0x40 ("\x81\x40").
        SplitCase{"\xbc\xd7,\xd2\xd2", {"\xbc\xd7", "\xd2\xd2"}},
        SplitCase{"\x81\x40 \xbc\xd7", {"\x81\x40", "\xbc\xd7"}},
        SplitCase{"\"\xbc\xd7,\xd2\xd2\"", {"\xbc\xd7,\xd2\xd2"}}));
