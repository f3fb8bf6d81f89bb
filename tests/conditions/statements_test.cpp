#include "conditions/domain_statistics.h"
#include "conditions/exclusion_join.h"
#include "conditions/sql_text.h"

#include <gtest/gtest.h>

using namespace conditions;

TEST(ExclusionJoin, InnerJoin) {
    EXPECT_EQ(ExclusionFileJoin("F1", "ex.csv", false),
              " inner join [ex.csv] as B on A.[F1]=B.[F1]");
}

TEST(ExclusionJoin, AntiJoin) {
    EXPECT_EQ(ExclusionFileJoin("F1", "ex.csv", true),
              " left join [ex.csv] as B on A.[F1]=B.[F1] where B.[F1] is null");
}

TEST(DomainStatistics, TopTen) {
    EXPECT_EQ(DomainStatisticsStatement("T", "F1", 10),
              "select top 10 mid(F1,instr(F1,'@')+1,len(F1)) as [domain],count(F1) as quantity "
              "from [T] where [F1] like '%@%.%' group by mid(F1,instr(F1,'@')+1,len(F1))  "
              "order by count(F1) desc");
}

TEST(DomainStatistics, AllHasTwoBlanksAfterSelect) {
    EXPECT_EQ(DomainStatisticsStatement("a-Export.csv", "F1", 0),
              "select  mid(F1,instr(F1,'@')+1,len(F1)) as [domain],count(F1) as quantity "
              "from [a-Export.csv] where [F1] like '%@%.%' group by mid(F1,instr(F1,'@')+1,len(F1))  "
              "order by count(F1) desc");
}

TEST(DomainStatistics, ColumnWithBlankStandsBare) {
    const std::string s = DomainStatisticsStatement("T", "my col", 50);
    EXPECT_EQ(s.substr(0, 40), "select top 50 mid(my col,instr(my col,'@");
    EXPECT_NE(s.find("where [my col] like"), std::string::npos);
}

struct NameCase {
    std::string name, bracketed;
};

// Every closing bracket is doubled; UTF-8 characters pass whole, also those
// whose bytes a GBK reading would pair with a following "]".
TEST(BracketedName, DoublesClosingBrackets) {
    const NameCase cases[] = {
        {"list.csv", "[list.csv]"},
        {"", "[]"},
        {"a]b.csv", "[a]]b.csv]"},
        {"]", "[]]]"},
        {"]]x[", "[]]]]x[]"},
        {"/o]ut/l]st-Export.csv", "[/o]]ut/l]]st-Export.csv]"},
        {"中]", "[中]]]"},              // E4 B8 AD: 0xAD 0x5D would be one GBK character
        {"名单].csv", "[名单]].csv]"},
        {"é]x]", "[é]]x]]]"},
    };
    for (const auto& c : cases) EXPECT_EQ(BracketedName(c.name), c.bracketed) << c.name;
}

TEST(BracketedName, TableNamesOfTheBuilders) {
    EXPECT_EQ(ExclusionFileJoin("F1", "e]x.csv", false), " inner join [e]]x.csv] as B on A.[F1]=B.[F1]");
    EXPECT_EQ(ExclusionFileJoin("F1", "e]x.csv", true),
              " left join [e]]x.csv] as B on A.[F1]=B.[F1] where B.[F1] is null");
    EXPECT_NE(DomainStatisticsStatement("a]-Export.csv", "F1", 0).find(" from [a]]-Export.csv] where [F1]"),
              std::string::npos);
}

struct QuoteCase {
    const char* text;
    const char* expected;
};

class Quote : public testing::TestWithParam<QuoteCase> {};

TEST_P(Quote, DoublesSingleQuotes) {
    EXPECT_EQ(QuoteSqlText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Quote,
                         testing::Values(QuoteCase{"", "''"}, QuoteCase{"abc", "'abc'"},
                                         QuoteCase{"o'k", "'o''k'"}, QuoteCase{"'", "''''"},
                                         QuoteCase{"''", "''''''"},
                                         QuoteCase{"\xd3\xca'", "'\xd3\xca'''"}));
