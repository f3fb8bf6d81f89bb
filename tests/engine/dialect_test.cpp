// The dialect, item by item, over one small table.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

using namespace enginetest;

class Dialect : public ::testing::Test {
protected:
    void SetUp() override {
        dir_.write("people.csv",
                   "name;email;age\r\n"
                   "Ann;ann@qq.com;30\r\n"
                   "Bob;BOB@QQ.COM;25\r\n"
                   "Cid;cid@163.com;41\r\n"
                   "Dan;;19\r\n"
                   "Eve;ann@qq.com;30\r\n"
                   "Fay;fay@sina.com;\r\n");
        dir_.write("other.csv", "email;tag\r\nANN@qq.com;vip\r\ncid@163.com;x\r\nann@qq.com;again\r\n");
    }
    Result q(const std::string& sql) { return run(dir_.path(), sql); }
    TempDir dir_;
};

struct DialectCase {
    std::string sql;
    std::vector<std::string> names;
    Rows rows;
};

TEST_F(Dialect, Items) {
    const DialectCase cases[] = {
        {"select * from [people.csv] where age = 41", {"name", "email", "age"}, {{"Cid", "cid@163.com", "41"}}},
        {"select name from [people.csv] where email is null", {"name"}, {{"Dan"}}},
        {"select name from [people.csv] where not email is null and age is not null and age > 29",
         {"name"}, {{"Ann"}, {"Cid"}, {"Eve"}}},
        {"select distinct email from [people.csv] where email like '%@qq.com'", {"email"}, {{"ann@qq.com"}, {"BOB@QQ.COM"}}},
        {"select top 2 name from [people.csv]", {"name"}, {{"Ann"}, {"Bob"}}},
        {"select top 0 name from [people.csv]", {"name"}, {}},
        {"select name as [n], age+1 as older, age-1 as younger from [people.csv] where name='ann'",
         {"n", "older", "younger"}, {{"Ann", "31", "29"}}},
        {"select P.name from [people.csv] as P where P.age < 20", {"name"}, {{"Dan"}}},
        {"select name from [people.csv] where (age >= 30 or name = 'Bob') and not (age <= 30)", {"name"}, {{"Cid"}}},
        {"select name from [people.csv] where age <> 30 and age < 26", {"name"}, {{"Bob"}, {"Dan"}}},
        // a null satisfies no comparison and no like, negated or not
        {"select name from [people.csv] where age < 100 or age >= 100", {"name"},
         {{"Ann"}, {"Bob"}, {"Cid"}, {"Dan"}, {"Eve"}}},
        {"select name from [people.csv] where email not like '%q%'", {"name"}, {{"Cid"}, {"Fay"}}},
        {"select count(email) as c, count(*) as all_rows from [people.csv]", {"c", "all_rows"}, {{"5", "6"}}},
        {"select email, count(email) as n from [people.csv] group by email order by count(email) desc",
         {"email", "n"}, {{"ann@qq.com", "2"}, {"BOB@QQ.COM", "1"}, {"cid@163.com", "1"}, {"fay@sina.com", "1"},
                          {std::nullopt, "0"}}},
        {"select top 1 mid(email,instr(email,'@')+1,len(email)) as [domain],count(email) as quantity from [people.csv] "
         "where [email] like '%@%.%' group by mid(email,instr(email,'@')+1,len(email))  order by count(email) desc",
         {"domain", "quantity"}, {{"qq.com", "3"}}},
        {"select name from [people.csv] order by age desc", {"name"},
         {{"Cid"}, {"Ann"}, {"Eve"}, {"Bob"}, {"Dan"}, {"Fay"}}},
        {"select name from [people.csv] order by name", {"name"}, {{"Ann"}, {"Bob"}, {"Cid"}, {"Dan"}, {"Eve"}, {"Fay"}}},
        {"select A.name, B.tag from [people.csv] as A inner join [other.csv] as B on A.[email]=B.[email]",
         {"name", "tag"}, {{"Ann", "vip"}, {"Ann", "again"}, {"Cid", "x"}, {"Eve", "vip"}, {"Eve", "again"}}},
        {"select A.[name] from [people.csv] as A left join [other.csv] as B on A.[email]=B.[email] where B.[email] is null",
         {"name"}, {{"Bob"}, {"Dan"}, {"Fay"}}},
        {"SELECT DISTINCT LCASE([email]) FROM [people.csv] WHERE [email] LIKE '%@%.%'", {"Expr1000"},
         {{"ann@qq.com"}, {"bob@qq.com"}, {"cid@163.com"}, {"fay@sina.com"}}},
        {"select lcase(name) & '-' & age as x from [people.csv] where name = 'Ann'", {"x"}, {{"ann-30"}}},
        {"select name from [people.csv] where instr(email,'@')-1>3", {"name"}, {}},
        {"select name from [people.csv] where InStr([email],'@')-1<=3", {"name"}, {{"Ann"}, {"Bob"}, {"Cid"}, {"Eve"}, {"Fay"}}},
        {"select name from [people.csv] where -age < -40", {"name"}, {{"Cid"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        auto r = q(c.sql);
        EXPECT_EQ(r.names, c.names);
        EXPECT_EQ(r.rows, c.rows);
    }
}

TEST_F(Dialect, TopCutsTiesAndOrderIsStable) {
    dir_.write("d.csv", "v\r\nb\r\na\r\nc\r\na\r\nc\r\nb\r\nd\r\n");
    // b, a, c each twice (first seen in that order), d once.
    auto r = q("select top 2 v, count(v) as n from [d.csv] group by v order by count(v) desc");
    const Rows expected = {{"b", "2"}, {"a", "2"}};
    EXPECT_EQ(r.rows, expected);
}

TEST_F(Dialect, DistinctAndGroupKeepFirstOccurrence) {
    dir_.write("m.csv", "v\r\nQq.Com\r\nqq.com\r\nQQ.COM\r\nx\r\n");
    EXPECT_EQ(column(q("select distinct v from [m.csv]")), (std::vector<std::string>{"Qq.Com", "x"}));
    auto g = q("select v, count(v) as n from [m.csv] group by v");
    const Rows expected = {{"Qq.Com", "3"}, {"x", "1"}};
    EXPECT_EQ(g.rows, expected);
}

}  // namespace
