// UTF-8 tables: every operator steps UTF-8 characters and gives, on the same
// text, what it gives on a GBK table; bytes that are not UTF-8 are one
// character each.
#include <gtest/gtest.h>

#include "encoding_test_support.h"
#include "engine/text_convert.h"

namespace {

using namespace enginetest;
using engine::CodePage;

// Texts whose GBK forms hold trail bytes that are "@", "[" or letters.
const std::vector<std::string> kTexts = {
    "张三@qq.com",   "丂@QQ.COM",       "丂x@163.com",   "Zhang@Example.CN",   "李四@例子.中国",
    "王[五]@a.b",    "喆@x.cn",         "a@b",           "no at sign",         "张三@@qq.com",
    "AbC丂Ab@Q.q",   "@张",             "三",
};

// The statements compared; T is the table, t the column.
const std::vector<std::string> kStatements = {
    "select t, len(t) as n from [T]",
    "select mid(t, 2, 2) as m, mid(t, instr(t, '@') + 1, len(t)) as d, mid(t, 1, instr(t, '@')) as p from [T]",
    "select instr(t, '@') as a, instr(t, '三') as b, instr(t, 'q') as c, instr(3, t, '@') as d from [T]",
    "select lcase(t) as l, ucase(t) as u, trim(t) as r from [T]",
    "select t from [T] where t like '%三%'",
    "select t from [T] where t like '[张李王]%'",
    "select t from [T] where t like '%[a-z,A-Z]'",
    "select t from [T] where t like '%@%.%' and t not like '%@@%' and t not like '[@]%'",
    "select t from [T] where t like '丂%' or t like '%[三丂]'",
    "select t from [T] where t = '张三@QQ.COM' or t = '喆@X.CN'",
    "select t from [T] where instr(t, '@') - 1 = 2",
    "select distinct lcase(mid(t, instr(t, '@') + 1, len(t))) as d from [T] where t like '%@%'",
};

TEST(Utf8Table, CharacterFunctionsGiveWhatTheyGiveOnGbk) {
    std::string utf8 = "id;t\r\n", gbk = "id;t\r\n";
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        utf8 += std::to_string(i) + ";" + kTexts[i] + "\r\n";
        gbk += std::to_string(i) + ";" + gbkOf(kTexts[i]) + "\r\n";
    }
    TempDir dir;
    dir.write("u.csv", utf8);
    dir.write("g.csv", gbk);
    dir.write("Schema.ini", "[u.csv]\r\nCharacterSet=65001\r\n[g.csv]\r\nCharacterSet=936\r\n");
    for (const CodePage statements : {CodePage::Gbk, CodePage::Utf8}) {
        for (const auto& sql : kStatements) {
            auto on = [&](const std::string& table) {
                const std::string s = onTable(sql, table);
                return runIn(statements, dir.path(), statements == CodePage::Gbk ? gbkOf(s) : s);
            };
            const Result fromGbk = on("g.csv");
            const Result fromUtf8 = on("u.csv");
            ASSERT_FALSE(fromGbk.rows.empty()) << sql;
            ASSERT_EQ(fromUtf8.rows.size(), fromGbk.rows.size()) << sql;
            for (std::size_t r = 0; r < fromGbk.rows.size(); ++r)
                for (std::size_t c = 0; c < fromGbk.rows[r].size(); ++c) {
                    const Cell& g = fromGbk.rows[r][c];
                    const Cell& u = fromUtf8.rows[r][c];
                    ASSERT_EQ(g.has_value(), u.has_value()) << sql;
                    if (g) EXPECT_EQ(engine::converted(*g, CodePage::Gbk, CodePage::Utf8), *u) << sql << " row " << r;
                }
        }
    }
    // The prefix of "张三@qq.com" is two characters long in either.
    for (const std::string table : {"g.csv", "u.csv"}) {
        auto r = runIn(CodePage::Utf8, dir.path(), "select instr(t,'@')-1 as n from [" + table + "] where id = '0'");
        EXPECT_EQ(column(r), (std::vector<std::string>{"2"})) << table;
    }
}

TEST(Utf8Table, BytesThatAreNotUtf8AreOneCharacterEach) {
    TempDir dir;
    dir.write("u.csv",
              "\xEF\xBB\xBFt\r\n"
              "a\xFF" "b@c.d\r\n"             // a byte that is never UTF-8
              "\xE4\xB8@x.y\r\n"              // a character cut off before "@"
              "\xC0\xC1" "Ab@Q.Q\r\n"         // overlong lead bytes, then letters
              "\xE5\xBC\xA0\xF0\x9F\x98\r\n"  // 张, then three bytes of a four-byte character
              "\x80\r\n");
    auto r = runIn(CodePage::Utf8, dir.path(),
                   "select len(t) as n, instr(t, '@') as a, mid(t, 2, 2) as m, lcase(t) as l from [u.csv]");
    ASSERT_EQ(r.rows.size(), 5u);
    EXPECT_EQ(r.rows[0], (std::vector<Cell>{"7", "4", "\xFF" "b", "a\xFF" "b@c.d"}));
    EXPECT_EQ(r.rows[1], (std::vector<Cell>{"6", "3", "\xB8@", "\xE4\xB8@x.y"}));
    EXPECT_EQ(r.rows[2], (std::vector<Cell>{"8", "5", "\xC1" "A", "\xC0\xC1" "ab@q.q"}));
    EXPECT_EQ(r.rows[3], (std::vector<Cell>{"4", "0", "\xF0\x9F", "\xE5\xBC\xA0\xF0\x9F\x98"}));
    EXPECT_EQ(r.rows[4], (std::vector<Cell>{"1", "0", "", "\x80"}));
    // like and the address conditions take them as characters too.
    auto like = runIn(CodePage::Utf8, dir.path(), "select t from [u.csv] where t like '%\xB8@%'");
    EXPECT_EQ(column(like), (std::vector<std::string>{"\xE4\xB8@x.y"}));
    auto shape = runIn(CodePage::Utf8, dir.path(), "select t from [u.csv] where t like '%@%.%' and t like '%[a-z,A-Z]'");
    EXPECT_EQ(column(shape), (std::vector<std::string>{"a\xFF" "b@c.d", "\xE4\xB8@x.y", "\xC0\xC1" "Ab@Q.Q"}));
}

TEST(Utf8Table, DistinctAndGroupByFoldOnlyLettersAZ) {
    TempDir dir;
    dir.write("u.csv",
              "\xEF\xBB\xBF" "e\r\n张三@QQ.com\r\n张三@qq.COM\r\nÉ@qq.com\r\né@qq.com\r\n李四@qq.com\r\n张三@qq.com\r\n"
              "ab@例子.cn\r\nAB@例子.CN\r\n");
    auto d = runIn(CodePage::Utf8, dir.path(), "select distinct lcase(e) from [u.csv]");
    EXPECT_EQ(column(d), (std::vector<std::string>{"张三@qq.com", "É@qq.com", "é@qq.com", "李四@qq.com", "ab@例子.cn"}));
    auto g = runIn(CodePage::Utf8, dir.path(),
                   "select mid(e, 1, instr(e, '@') - 1) as p, count(e) as n from [u.csv] group by mid(e, 1, instr(e, '@') - 1) "
                   "order by count(e) desc");
    ASSERT_EQ(g.rows.size(), 5u);
    EXPECT_EQ(g.rows[0], (std::vector<Cell>{"张三", "3"}));
    EXPECT_EQ(g.rows[1], (std::vector<Cell>{"ab", "2"}));
    // A GBK statement over the UTF-8 table gives the same (its literals are converted).
    auto s = runIn(CodePage::Gbk, dir.path(), gbkOf("select count(e) as n from [u.csv] where mid(e, 1, 2) = '张三'"));
    EXPECT_EQ(column(s), (std::vector<std::string>{"3"}));
}

TEST(Utf8Table, TheToolsStatementsOnAUtf8CopyOfAGbkList) {
    // The same list in both encodings; the domain statement and the address
    // classes give the same rows, the GBK ones as GBK bytes.
    const std::string list = "name;email\r\n王;wang@qq.com\r\n李;Li@QQ.com\r\nx;李四@QQ.com\r\ny;丂@163.com\r\n"
                             "z;张三@@qq.com\r\nq;喆 @a.b\r\nw;@例子.cn\r\nv;x@例子.中国\r\nu;张丂@163.com\r\n";
    TempDir dir;
    dir.write("g.csv", gbkOf(list));
    dir.write("u.csv", "\xEF\xBB\xBF" + list);
    const std::string statements[] = {
        "select top 10 mid(email,instr(email,'@')+1,len(email)) as [domain],count(email) as quantity from [T] where "
        "[email] like '%@%.%' group by mid(email,instr(email,'@')+1,len(email))  order by count(email) desc",
        "select distinct lcase([email]) from [T] where [email] like '%@%.%' and [email] like '%[a-z,A-Z]' and [email] "
        "not like '% %' and [email] not like '%@.%' and [email] not like '%@@%' and [email] not like '[@]%' and "
        "[email] not like '%@%..%'",
        "select * from [T] where InStr([email],'@')-1>=2",
        "select * from [T] where ([email] like '%@qq.com' or  [email] like '%@例子.中国')",
    };
    for (const auto& sql : statements) {
        auto on = [&](const std::string& table) { return runIn(CodePage::Gbk, dir.path(), gbkOf(onTable(sql, table))); };
        const Result g = on("g.csv"), u = on("u.csv");
        ASSERT_FALSE(g.rows.empty()) << sql;
        ASSERT_EQ(g.rows.size(), u.rows.size()) << sql;
        for (std::size_t r = 0; r < g.rows.size(); ++r)
            for (std::size_t c = 0; c < g.rows[r].size(); ++c)
                EXPECT_EQ(engine::converted(*g.rows[r][c], CodePage::Gbk, CodePage::Utf8), *u.rows[r][c]) << sql;
    }
}

}  // namespace
