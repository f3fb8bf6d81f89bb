#include <gtest/gtest.h>

#include "conditions/conditions.h"
#include "platform/code_page.h"
#include "preview/data_preview.h"

using preview::DataOption;

namespace {

preview::DataPreviewInput defaults(DataOption option) {
    preview::DataPreviewInput in;
    in.option = option;
    in.column = "email";
    in.comparison = ">";
    in.length = "9";
    in.prefixList = "master,root,sales,info,tech,bill,webmaster,admin,adm,abuse,complaint";
    in.suffixList = "qq.com,163.com";
    return in;
}

struct OptionCase {
    DataOption option;
    std::string condition;  // without " where "; "" for none
    std::string labelUtf8;
};

class DataOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(DataOptions, ConditionAndLabel) {
    const auto& c = GetParam();
    const auto request = preview::composeDataPreview(defaults(c.option));
    ASSERT_TRUE(request.ready());
    EXPECT_EQ(request.conditionText, c.condition.empty() ? std::string() : " where " + c.condition);
    EXPECT_EQ(request.label, std::string(c.labelUtf8));
}

INSTANTIATE_TEST_SUITE_P(
    EveryOption, DataOptions,
    testing::Values(
        OptionCase{DataOption::All, "", "无条件"},
        OptionCase{DataOption::Invalid, conditions::InvalidCondition("email"), "无效Email地址"},
        OptionCase{DataOption::Error, conditions::ErrorCondition("email"), "错误Email地址"},
        OptionCase{DataOption::PrefixLength, conditions::PrefixLengthCondition("email", ">", "9", false),
                   "@前缀长度"},
        OptionCase{DataOption::PrefixList,
                   conditions::PrefixListCondition(
                       "email", "master,root,sales,info,tech,bill,webmaster,admin,adm,abuse,complaint", false),
                   "@前缀等于"},
        OptionCase{DataOption::SuffixList, conditions::SuffixListCondition("email", "qq.com,163.com", false),
                   "@后缀等于"}));

TEST(DataPreview, OnlyTheChosenConditionIsUsed) {
    auto in = defaults(DataOption::PrefixLength);
    in.comparison = "<";
    in.length = "12";
    const auto request = preview::composeDataPreview(in);
    EXPECT_EQ(request.conditionText, " where " + conditions::PrefixLengthCondition("email", "<", "12", false));
    EXPECT_EQ(request.conditionText.find("master"), std::string::npos);
}

struct EmptyCase {
    DataOption option;
    std::string preview::DataPreviewInput::*field;
    std::string messageUtf8;
};

class EmptyInput : public testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyInput, RefusedWithItsMessage) {
    auto in = defaults(GetParam().option);
    in.*(GetParam().field) = "";
    const auto request = preview::composeDataPreview(in);
    EXPECT_FALSE(request.ready());
    EXPECT_EQ(request.inputMessage, std::string(GetParam().messageUtf8));
    EXPECT_EQ(request.conditionText, "");
}

TEST_P(EmptyInput, OnlyBlanksPass) {
    auto in = defaults(GetParam().option);
    in.*(GetParam().field) = " ";
    EXPECT_TRUE(preview::composeDataPreview(in).ready());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, EmptyInput,
    testing::Values(EmptyCase{DataOption::PrefixLength, &preview::DataPreviewInput::length, "前缀长度不能为空!"},
                    EmptyCase{DataOption::PrefixList, &preview::DataPreviewInput::prefixList, "前缀内容不能为空!"},
                    EmptyCase{DataOption::SuffixList, &preview::DataPreviewInput::suffixList, "后缀内容不能为空!"}));

TEST(DataPreview, OtherOptionsIgnoreEmptyFields) {
    auto in = defaults(DataOption::Invalid);
    in.length = in.prefixList = in.suffixList = "";
    EXPECT_TRUE(preview::composeDataPreview(in).ready());
}

TEST(DataPreview, StatusText) {
    EXPECT_EQ(preview::dataPreviewStatusText(std::string("无条件")), std::string(" 当前操作：数据预览[查询条件:无条件]"));
    EXPECT_EQ(preview::dataPreviewStatusText(std::string("@前缀长度")), std::string(" 当前操作：数据预览[查询条件:@前缀长度]"));
}

}  // namespace
