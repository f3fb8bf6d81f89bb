// The domain of the domain statement, mid(t, instr(t, '@') + 1, len(t)), has
// a one-pass node; the same expression written 1 + instr(...) takes the three
// functions' plain path.  Both give the same values on GBK and UTF-8 tables,
// also where "@" is a GBK trail byte or follows bytes that are not UTF-8.
#include <gtest/gtest.h>

#include "encoding_test_support.h"

namespace {

using namespace enginetest;
using engine::CodePage;

const std::string kFused = "mid(t, instr(t, '@') + 1, len(t))";
const std::string kPlain = "mid(t, 1 + instr(t, '@'), len(t))";

TEST(DomainKey, OnePassNodeGivesThePlainPathsValues) {
    const std::vector<std::string> utf8Texts = {
        "a@b.com", "no at sign", "@x.cn", "x@", "a@@b.c", "张三@qq.com", "丂@QQ.COM", "@", "三", "12345",
    };
    std::string utf8 = "id;t\r\n", gbk = "id;t\r\n";
    for (std::size_t i = 0; i < utf8Texts.size(); ++i) {
        utf8 += std::to_string(i) + ";" + utf8Texts[i] + "\r\n";
        gbk += std::to_string(i) + ";" + gbkOf(utf8Texts[i]) + "\r\n";
    }
    utf8 += "90;\r\n91;\xE4\xB8@x.y\r\n92;a\xFF@c.d\r\n";  // a null; bytes that are not UTF-8
    gbk += "90;\r\n91;\x81\x40@x.y\r\n92;\x81\x40qq.com\r\n";  // trail byte "@", with and without a real one
    TempDir dir;
    dir.write("u.csv", utf8);
    dir.write("g.csv", gbk);
    dir.write("Schema.ini", "[u.csv]\r\nCharacterSet=65001\r\n[g.csv]\r\nCharacterSet=936\r\n");
    for (const CodePage statements : {CodePage::Gbk, CodePage::Utf8}) {
        for (const std::string table : {"g.csv", "u.csv"}) {
            auto values = [&](const std::string& key) {
                return runIn(statements, dir.path(), "select id, " + key + " as d from [" + table + "]").rows;
            };
            auto groups = [&](const std::string& key) {
                return runIn(statements, dir.path(),
                             "select " + key + " as [domain], count(t) as quantity from [" + table +
                                 "] group by " + key + " order by count(t) desc")
                    .rows;
            };
            const Rows plain = values(kPlain);
            ASSERT_EQ(plain.size(), 13u);
            EXPECT_EQ(values(kFused), plain) << table;
            EXPECT_EQ(groups(kFused), groups(kPlain)) << table;
        }
    }
    const Rows gbkRows = runIn(CodePage::Gbk, dir.path(), "select " + kFused + " as d from [g.csv] where id = '92'").rows;
    ASSERT_EQ(gbkRows.size(), 1u);
    EXPECT_EQ(gbkRows[0][0], Cell("\x81\x40qq.com"));  // no "@" character: the whole text
}

}  // namespace
