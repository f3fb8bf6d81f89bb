#include <gtest/gtest.h>

#include "conditions/conditions.h"
#include "platform/code_page.h"
#include "preview/domain_preview.h"

using preview::DomainOption;

namespace {

struct TopCase {
    DomainOption option;
    int top;
    std::string labelUtf8;
};

class DomainOptions : public testing::TestWithParam<TopCase> {};

TEST_P(DomainOptions, TopCountAndLabel) {
    const auto& c = GetParam();
    EXPECT_EQ(preview::topCountFor(c.option), c.top);
    EXPECT_EQ(preview::domainConditionLabel(c.top), std::string(c.labelUtf8));
}

INSTANTIATE_TEST_SUITE_P(EveryOption, DomainOptions,
                         testing::Values(TopCase{DomainOption::Top10, 10, "数据量排名前10个邮件域"},
                                         TopCase{DomainOption::Top15, 15, "数据量排名前15个邮件域"},
                                         TopCase{DomainOption::Top20, 20, "数据量排名前20个邮件域"},
                                         TopCase{DomainOption::Top30, 30, "数据量排名前30个邮件域"},
                                         TopCase{DomainOption::Top50, 50, "数据量排名前50个邮件域"},
                                         TopCase{DomainOption::All, 0, "全部邮件域"}));

TEST(DomainPreview, StatusTextsOfButtonAndAutomaticPreviewDiffer) {
    EXPECT_EQ(preview::domainPreviewStatusText(preview::domainConditionLabel(10)),
              std::string(" 当前操作：@后缀预览[查询条件:数据量排名前10个邮件域]"));
    EXPECT_EQ(preview::domainPreviewStatusText(preview::domainConditionLabel(0)),
              std::string(" 当前操作：@后缀预览[查询条件:全部邮件域]"));
    EXPECT_EQ(preview::automaticDomainPreviewStatusText(),
              std::string(" 当前操作：@后缀预览[查询条件:数据量排名 Top 10 的邮件域]"));
}

TEST(DomainPreview, StatementIsTheDomainStatistics) {
    EXPECT_EQ(preview::domainPreviewStatement("list.csv", "email", 30),
              conditions::DomainStatisticsStatement("list.csv", "email", 30));
    EXPECT_EQ(preview::domainPreviewStatement("list.csv", "email", 0),
              conditions::DomainStatisticsStatement("list.csv", "email", 0));
}

}  // namespace
