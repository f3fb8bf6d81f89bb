// Tables of different encodings in one statement, and statements in another
// code page than their table: texts are compared as text, values come back
// as each table's bytes, and the result says which code page they are in.
#include <gtest/gtest.h>

#include "encoding_test_support.h"
#include "engine/text_convert.h"

namespace {

using namespace enginetest;
using engine::CodePage;

struct Kind {
    std::string label;
    std::string characterSet;  // of the Schema.ini section
    std::string (*encode)(const std::string&);
    CodePage values;
};

std::string asGbk(const std::string& s) { return gbkOf(s); }
std::string asUtf8(const std::string& s) { return s; }
std::string asUtf16(const std::string& s) { return utf16(s, false); }

const Kind kGbk{"GBK", "936", asGbk, CodePage::Gbk};
const Kind kUtf8{"UTF-8", "65001", asUtf8, CodePage::Utf8};
const Kind kUtf16{"UTF-16", "1200", asUtf16, CodePage::Utf8};

TEST(MixedEncodings, ExclusionJoinComparesText) {
    // The list and the suppression list of the exclusion pass, each pair of encodings.
    const std::string list = "张三@qq.com\r\nBOB@X.CN\r\n李四@qq.com\r\nzoe@y.cn\r\n";
    const std::string suppress = "张三@QQ.COM\r\nbob@x.cn\r\n喆@z.cn\r\n";
    const std::pair<Kind, Kind> pairs[] = {{kGbk, kUtf8}, {kUtf8, kGbk}, {kUtf16, kGbk}, {kGbk, kUtf16}, {kUtf8, kUtf16}};
    for (const auto& [left, right] : pairs) {
        const std::string label = left.label + " list, " + right.label + " suppression list";
        TempDir dir;
        dir.write("list.csv", left.encode(list));
        dir.write("ex.csv", right.encode(suppress));
        dir.write("Schema.ini", "[list.csv]\r\nCharacterSet=" + left.characterSet + "\r\n[ex.csv]\r\nCharacterSet=" +
                                    right.characterSet + "\r\n");
        auto kept = runIn(CodePage::Gbk, dir.path(),
                          "select A.* from [list.csv] as A left join [ex.csv] as B on A.[F1]=B.[F1] where B.[F1] is null",
                          "No", "Delimited");
        const std::vector<std::string> expectedKept = {"李四@qq.com", "zoe@y.cn"};
        std::vector<std::string> keptUtf8;
        for (const auto& v : column(kept)) keptUtf8.push_back(engine::converted(v, left.values, CodePage::Utf8));
        EXPECT_EQ(keptUtf8, expectedKept) << label;
        // The values are the list's bytes.
        EXPECT_EQ(column(kept)[0], left.values == CodePage::Gbk ? gbkOf("李四@qq.com") : "李四@qq.com") << label;

        auto matched = runIn(CodePage::Utf8, dir.path(),
                             "select A.[F1], B.[F1] from [list.csv] as A inner join [ex.csv] as B on A.[F1]=B.[F1]", "No",
                             "Delimited");
        ASSERT_EQ(matched.rows.size(), 2u) << label;
        EXPECT_EQ(engine::converted(*matched.rows[0][1], right.values, CodePage::Utf8), "张三@QQ.COM") << label;
        EXPECT_EQ(engine::converted(*matched.rows[1][0], left.values, CodePage::Utf8), "BOB@X.CN") << label;
    }
}

// A chain of + - & settles its encodings step by step as the tree it stands
// for ((a & b) - c) & d ...: literals joined to a UTF-8 column become UTF-8,
// a "-" makes a number; no recursion per term, however long the chain.
TEST(MixedEncodings, LongChainsJoinTextInTheColumnsEncoding) {
    TempDir dir;
    dir.write("u.csv", "\xEF\xBB\xBFname;n\r\n张三;5\r\n");
    std::string chain = "name";
    std::string expected = "张三";
    for (int i = 0; i < 20000; ++i) {
        chain += " & '李'";
        expected += "李";
    }
    struct Case {
        std::string sql;
        std::string value;  // UTF-8
    };
    const Case cases[] = {
        {"select " + chain + " as c from [u.csv]", expected},
        {"select '王' & name & '李' as c from [u.csv]", "王张三李"},
        {"select '王' & '李' & name as c from [u.csv]", "王李张三"},
        {"select n - 1 & '李' & name as c from [u.csv]", "4李张三"},
        {"select len('王' & name & '李') as c from [u.csv]", "4"},
        {"select instr(name & '李' & '王', '王') as c from [u.csv]", "4"},
    };
    for (const auto& c : cases) {
        engine::Connection conn;
        conn.open(connectionString(dir.path(), "Yes", "Delimited(;)"), CodePage::Gbk);
        engine::ResultSet rs;
        rs.open(conn, gbkOf(c.sql));  // the statement in the connection's code page
        ASSERT_EQ(rs.recordCount(), 1u) << c.sql.substr(0, 60);
        const std::string value = engine::converted(std::string(*rs.value(0)), rs.columnEncoding(0), CodePage::Utf8);
        // Compared as a whole: the long chain's text would flood the report.
        EXPECT_TRUE(value == c.value) << c.sql.substr(0, 60) << " gave " << value.substr(0, 60);
    }
}

TEST(MixedEncodings, ResultColumnsSayTheirCodePage) {
    TempDir dir;
    dir.write("g.csv", gbkOf("id;name\r\n1;张三\r\n2;李四\r\n"));
    dir.write("u.csv", "\xEF\xBB\xBFid;mail\r\n1;张三@qq.com\r\n2;李四@qq.com\r\n");
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "Delimited(;)"));
    engine::ResultSet rs;
    rs.open(conn, "select A.name, B.mail, lcase(B.mail) as l, len(A.name) as n, 'x' as k, A.name & B.mail as c "
                  "from [g.csv] as A inner join [u.csv] as B on A.id = B.id");
    ASSERT_EQ(rs.recordCount(), 2u);
    const CodePage expected[] = {CodePage::Gbk, CodePage::Utf8, CodePage::Utf8, CodePage::Gbk, CodePage::Gbk,
                                 CodePage::Gbk};
    for (std::size_t c = 0; c < 6; ++c) EXPECT_EQ(rs.columnEncoding(c), expected[c]) << c;
    EXPECT_EQ(*rs.value(0), gbkOf("张三"));
    EXPECT_EQ(*rs.value(1), "张三@qq.com");
    EXPECT_EQ(*rs.value(5), gbkOf("张三张三@qq.com"));  // the second text converted to the first's
    EXPECT_THROW(rs.columnEncoding(6), engine::Error);
    // select * takes each table's.
    rs.open(conn, "select * from [g.csv] as A inner join [u.csv] as B on A.id = B.id");
    EXPECT_EQ(rs.columnNames(), (std::vector<std::string>{"A.id", "name", "B.id", "mail"}));
    EXPECT_EQ(rs.columnEncoding(1), CodePage::Gbk);
    EXPECT_EQ(rs.columnEncoding(3), CodePage::Utf8);
}

TEST(MixedEncodings, ColumnsOfTwoEncodingsCompareAsText) {
    TempDir dir;
    dir.write("g.csv", gbkOf("id;e\r\n1;张三@QQ.com\r\n2;李四@qq.com\r\n3;x@y.z\r\n"));
    dir.write("u.csv", "\xEF\xBB\xBFid;e\r\n1;张三@qq.COM\r\n2;王五@qq.com\r\n3;X@Y.Z\r\n");
    dir.write("Schema.ini", "[g.csv]\r\nCharacterSet=936\r\n");  // for the UTF-8 connection
    auto r = runIn(CodePage::Gbk, dir.path(),
                   "select A.id from [g.csv] as A inner join [u.csv] as B on A.id = B.id where A.e = B.e or B.e like A.e");
    EXPECT_EQ(column(r), (std::vector<std::string>{"1", "3"}));
    auto g = runIn(CodePage::Utf8, dir.path(),
                   "select B.e, count(*) as n from [g.csv] as A inner join [u.csv] as B on A.id = B.id "
                   "where instr(B.e, mid(A.e, 1, 2)) = 1 group by B.e");
    EXPECT_EQ(column(g), (std::vector<std::string>{"张三@qq.COM", "X@Y.Z"}));  // instr ignores letter case
}

TEST(MixedEncodings, EachKeyColumnFoldsInItsOwnEncoding) {
    // In UTF-8, "张A" is E5 BC A0 41: read as GBK, A0 41 would be one
    // character and its "A" would not be folded.
    TempDir dir;
    dir.write("g.csv", gbkOf("id;n\r\n1;张A\r\n2;张a\r\n3;x\r\n"));
    dir.write("u.csv", "\xEF\xBB\xBFid;e\r\n1;张A@x\r\n2;张a@x\r\n3;张A@X\r\n");
    const std::string statements[] = {
        "select distinct B.e from [g.csv] as A inner join [u.csv] as B on A.id = B.id",
        "select distinct A.n, B.e from [g.csv] as A inner join [u.csv] as B on A.id = B.id where A.id <> '3'",
        "select B.e, count(*) as k from [g.csv] as A inner join [u.csv] as B on A.id = B.id group by B.e",
    };
    for (const auto& sql : statements) {
        auto r = runIn(CodePage::Gbk, dir.path(), sql);
        ASSERT_EQ(r.rows.size(), 1u) << sql;
        EXPECT_EQ(r.rows[0].back().value_or(""), r.names.back() == "k" ? "3" : "张A@x") << sql;
    }
}

TEST(MixedEncodings, Utf8StatementsOverAGbkTable) {
    TempDir dir;
    dir.write("g.csv", gbkOf("name;email\r\n张三;张三@qq.com\r\n李四;li@qq.com\r\n张三丰;zsf@163.com\r\n"));
    dir.write("Schema.ini", "[g.csv]\r\nCharacterSet=ANSI\r\n");
    auto r = runIn(CodePage::Utf8, dir.path(),
                   "select name, email from [g.csv] where name = '张三' or email like '张%@%' or name like '[张]三丰'");
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0], (std::vector<Cell>{gbkOf("张三"), gbkOf("张三@qq.com")}));
    EXPECT_EQ(r.rows[1][0], gbkOf("张三丰"));
    EXPECT_EQ(runIn(CodePage::Utf8, dir.path(), "select * from [g.csv]").names,
              (std::vector<std::string>{"name", "email"}));
}

TEST(MixedEncodings, ALiteralTheTableCannotHoldMatchesNothing) {
    TempDir dir;
    dir.write("g.csv", gbkOf("t\r\n?\r\na?\r\nab\r\nx\r\n"));  // "?" is what a lossy conversion would give
    dir.write("Schema.ini", "[g.csv]\r\nCharacterSet=936\r\n");
    struct Case {
        std::string condition;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"t = '😀'", {}},
        {"t = 'a😀'", {}},
        {"t <> '😀'", {"?", "a?", "ab", "x"}},
        {"t like '%😀%'", {}},
        {"t like 'a😀'", {}},
        {"t like '[😀a]%'", {"a?", "ab"}},
        {"t like '[😀]%' or t like '%[x😀]'", {"x"}},
        {"instr(t, '😀') = 0", {"?", "a?", "ab", "x"}},
        {"instr(t, 'b') = 2", {"ab"}},
    };
    for (const auto& c : cases) {
        auto r = runIn(CodePage::Utf8, dir.path(), "select t from [g.csv] where " + c.condition);
        EXPECT_EQ(column(r), c.expected) << c.condition;
    }
}

}  // namespace
