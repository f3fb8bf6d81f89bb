// The conditions run by the engine: every address lands in exactly the class
// expected, and each negated condition selects exactly what the plain one
// rejects.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "conditions/conditions.h"
#include "engine/engine.h"
#include "connection_string.h"
#include "test_files.h"

using namespace conditions;

namespace {

enum class Class { Invalid, Erroneous, Valid };

const std::map<std::string, Class> kAddresses{
    {"a@b.cn", Class::Valid},
    {"A@B.CN", Class::Valid},
    {"a@b.c,", Class::Valid},  // a trailing comma counts as a letter
    {"a.b@c.d.e", Class::Valid},
    {"a@b.c1", Class::Erroneous},
    {"a@b.c.", Class::Erroneous},
    {"a b@c.de", Class::Erroneous},
    {"a@.bc", Class::Erroneous},
    {"a@@b.cd", Class::Erroneous},
    {"@a.bc", Class::Erroneous},
    {"a@b..cd", Class::Erroneous},
    {"\xd3\xca@\xc0\xfd.\xd6\xd0", Class::Erroneous},  // ends with a double-byte character
    {"ab.c", Class::Invalid},
    {"a@bc", Class::Invalid},
    {"a.b@c", Class::Invalid},
};

class OverEngine : public testing::Test {
protected:
    void SetUp() override {
        std::string table;
        for (const auto& [address, cls] : kAddresses) table += "\"" + address + "\"\r\n";
        testing_files::writeFile(dir / "t.txt", table);
        connection.open(testsupport::connectionString(dir.path(), "No", "Delimited"));
    }

    std::vector<std::string> select(const std::string& condition) {
        engine::ResultSet result;
        result.open(connection, "select F1 from [t.txt]" + (condition.empty() ? "" : " where " + condition));
        std::vector<std::string> values;
        for (result.first(); !result.eof(); result.next()) values.emplace_back(result.value(0).value_or(""));
        std::sort(values.begin(), values.end());
        return values;
    }

    std::vector<std::string> all() { return select(""); }

    testing_files::TempDir dir;
    engine::Connection connection;
};

std::vector<std::string> expected(Class cls) {
    std::vector<std::string> values;
    for (const auto& [address, c] : kAddresses)
        if (c == cls) values.push_back(address);
    std::sort(values.begin(), values.end());
    return values;
}

std::vector<std::string> complementOf(std::vector<std::string> all, const std::vector<std::string>& part) {
    std::vector<std::string> rest;
    std::set_difference(all.begin(), all.end(), part.begin(), part.end(), std::back_inserter(rest));
    return rest;
}

}  // namespace

TEST_F(OverEngine, EveryAddressInExactlyOneClass) {
    EXPECT_EQ(select(InvalidCondition("F1")), expected(Class::Invalid));
    EXPECT_EQ(select(ErrorCondition("F1")), expected(Class::Erroneous));
    EXPECT_EQ(select(ValidCondition("F1")), expected(Class::Valid));
}

TEST_F(OverEngine, NegatedFormsAreComplements) {
    const auto everything = all();
    for (const char* op : {">", "<"}) {
        for (const char* number : {"0", "1", "3"}) {
            const auto plain = select(PrefixLengthCondition("F1", op, number, false));
            EXPECT_EQ(select(PrefixLengthCondition("F1", op, number, true)), complementOf(everything, plain))
                << op << number;
        }
    }
    for (const char* list : {"a", "a,A.b", "\xd3\xca", "a,,x"}) {
        const auto prefixes = select(PrefixListCondition("F1", list, false));
        EXPECT_EQ(select(PrefixListCondition("F1", list, true)), complementOf(everything, prefixes)) << list;
        const auto suffixes = select(SuffixListCondition("F1", list, false));
        EXPECT_EQ(select(SuffixListCondition("F1", list, true)), complementOf(everything, suffixes)) << list;
    }
}

TEST_F(OverEngine, ListItemsMatchAsDescribed) {
    EXPECT_EQ(select(PrefixListCondition("F1", "a", false)),
              (std::vector<std::string>{"A@B.CN", "a@.bc", "a@@b.cd", "a@b..cd", "a@b.c,", "a@b.c.", "a@b.c1", "a@b.cn"}));
    EXPECT_EQ(select(SuffixListCondition("F1", "bc", false)), (std::vector<std::string>{"a@bc"}));
}
