#include "conditions/address_classes.h"

#include <gtest/gtest.h>

using namespace conditions;

TEST(AddressClasses, InvalidCondition) {
    EXPECT_EQ(InvalidCondition("F1"), "[F1] not like '%@%.%'");
}

TEST(AddressClasses, ErrorConditionForF1) {
    EXPECT_EQ(ErrorCondition("F1"),
              "[F1] like '%@%.%' and ([F1] like '% %' or [F1] like '%@.%' or [F1] like '%@@%' or "
              "[F1] like '[@]%' or [F1] like '%@%..%' or [F1] not like '%[a-z,A-Z]')");
}

TEST(AddressClasses, ValidConditionForF1) {
    EXPECT_EQ(ValidCondition("F1"),
              "[F1] like '%@%.%' and [F1] like '%[a-z,A-Z]' and [F1] not like '% %' and "
              "[F1] not like '%@.%' and [F1] not like '%@@%' and [F1] not like '[@]%' and "
              "[F1] not like '%@%..%'");
}

TEST(AddressClasses, ColumnNameIsWrittenUnchanged) {
    // "邮箱 地址" in GBK, with a blank and a closing bracket left alone.
    const std::string column = "\xd3\xca\xcf\xe4 \xb5\xd8\xd6\xb7]";
    EXPECT_EQ(InvalidCondition(column), "[" + column + "] not like '%@%.%'");
    const std::string valid = ValidCondition(column);
    EXPECT_TRUE(valid.starts_with("[" + column + "] like '%@%.%' and [" + column + "] like"));
    EXPECT_TRUE(valid.ends_with(" and [" + column + "] not like '%@%..%'"));
}
