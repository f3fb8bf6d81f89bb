// Statements the engine must refuse, and what the messages say.
#include <gtest/gtest.h>

#include "engine/parser.h"
#include "engine_test_support.h"

namespace {

using namespace enginetest;

struct ErrorCase {
    std::string sql;
    std::string expectedPart;
};

TEST(Syntax, ErrorsNameTheirCause) {
    TempDir dir;
    dir.write("t.csv", "email;n\r\na@b.c;1\r\n");
    const ErrorCase cases[] = {
        {"select from [t.csv]", "Syntax error at position 8"},
        {"select * form [t.csv]", "Syntax error at position 10"},
        {"select * from [t.csv", "not closed"},
        {"select * from [t.csv] where email like 'abc", "not closed"},
        {"select * from [t.csv] where", "the end of the statement"},
        {"select * from [t.csv] where email like '%@%.%' extra", "Syntax error at position 48"},
        {"select [nope] from [t.csv]", "Unknown column [nope]"},
        {"select * from [t.csv] where [F1] like '%'", "Unknown column [F1]"},
        {"select * from [missing.csv]", "missing.csv"},
        {"select frob(email) from [t.csv]", "Unknown function frob()"},
        {"select mid(email) from [t.csv]", "Wrong number of arguments"},
        {"select * from [t.csv] where count(email) > 1", "count() cannot be used in where"},
        {"select email, count(n) as c from [t.csv]", "must be counted or named in group by"},
        {"select * from [t.csv] where email like '[a-'", "is not closed"},
        {"select * from [t.csv] where InStr([email],'@')-1>x9", "Unknown column [x9]"},
        {"select * from [t.csv] where InStr([email],'@')-1>9a", "is not a number"},
        {"select top x * from [t.csv]", "a whole number after \"top\""},
        {"select mid(email,0,2) from [t.csv]", "mid() must be 1 or more"},
        {"select * from [t.csv] where ([email] like 'p@%.%' or  [email] like 'q@%.%'", "expected \")\""},
        {"select * from [t.csv] where ()", "Syntax error"},
        {"select * from [t.csv] where email like '%' ? 1", "unexpected character"},
    };
    for (const auto& c : cases) {
        const std::string msg = failure(dir.path(), c.sql);
        EXPECT_NE(msg.find(c.expectedPart), std::string::npos) << c.sql << "\n  message: " << msg;
    }
}

TEST(Syntax, PositionsCountCharactersNotBytes) {
    // Two double-byte characters before the error: position counts them once each.
    TempDir dir;
    const std::string msg = failure(dir.path(), "select '\xD6\xD0\xCE\xC4' from from");
    EXPECT_NE(msg.find("at position 18"), std::string::npos) << msg;
}

TEST(Syntax, BracketNamesStepOverTrailBytes) {
    // "\x81]" is one character: the bracket name goes on to the real "]".
    const engine::CharStepper gbk;
    auto s = engine::parseStatement("select [a\x81]b] from [t\x81]x.csv] as A", gbk);
    ASSERT_EQ(s.items.size(), 1u);
    EXPECT_EQ(s.items[0].expr->name, "a\x81]b");
    EXPECT_EQ(s.from.name, "t\x81]x.csv");
    EXPECT_EQ(s.from.alias, "A");
    // "]]" stands for one "]"; a trail byte "]" is never the first of such a pair.
    auto d = engine::parseStatement("select [a]]b] from [/x/o]]ut\x81]/t.csv]", gbk);
    EXPECT_EQ(d.items[0].expr->name, "a]b");
    EXPECT_EQ(d.from.name, "/x/o]ut\x81]/t.csv");
    // A text literal whose character has the trail byte "'"? Not possible (0x27 < 0x40);
    // but a trail byte "@" stays inside the literal.
    auto t = engine::parseStatement("select * from [t] where x like '%\x81@%'", gbk);
    EXPECT_EQ(t.where->children[1]->text, "%\x81@%");
}

TEST(Syntax, LongChainsRunAndDeepNestingIsRefused) {
    TempDir dir;
    dir.write("t.csv", "a@x0\r\nb@y\r\n");
    // The remainder condition of the domain export: one term per item of every group.
    std::string where;
    for (int i = 0; i < 50000; ++i) where += (i ? " and " : "") + std::string("[F1] not like '%@x") + std::to_string(i) + "'";
    auto r = run(dir.path(), "select * from [t.csv] where " + where, "No");
    EXPECT_EQ(column(r), (std::vector<std::string>{"b@y"}));
    const std::string deep = "select * from [t.csv] where " + std::string(100000, '(') + "1=1" + std::string(100000, ')');
    EXPECT_NE(failure(dir.path(), deep, "No").find("nested"), std::string::npos);
    EXPECT_NE(failure(dir.path(), "select * from [t.csv] where " + std::string(100000, '-') + "1=1", "No").find("nested"),
              std::string::npos);
}

// A chain of + and - of any length is bound, compiled and run without one
// level of recursion per term (20,000 terms once overflowed the stack).
TEST(Syntax, LongArithmeticChainsRun) {
    TempDir dir;
    dir.write("t.csv", "F1;F2\r\na@b.c;1\r\nx@y.z;-30000\r\n");
    std::string plus, mixed, joined;
    for (int i = 0; i < 20000; ++i) {
        plus += "+1";
        mixed += i % 2 ? "-1" : "+2";  // +2-1 per pair: +10000 in all
        joined += "&'x'";
    }
    struct Case {
        std::string sql;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {"select F1 from [t.csv] where F2" + plus + " > 0", {"a@b.c"}},
        {"select F2" + plus + " as s from [t.csv]", {"20001", "-10000"}},
        {"select F2" + mixed + " as s from [t.csv]", {"10001", "-20000"}},
        {"select len(F1" + joined + ") as n from [t.csv]", {"20005", "20005"}},
        // Left to right: 10-4+3 is 9, not 3.
        {"select F2+10-4+3 as s from [t.csv] where F1 = 'a@b.c'", {"10"}},
        {"select 'a'+'b'&F2-1 as s from [t.csv] where F1 = 'a@b.c'", {"<null>"}},
        {"select 'a'+'b'&F2+'1' as s from [t.csv] where F1 = 'a@b.c'", {"ab11"}},
    };
    for (const auto& c : cases) EXPECT_EQ(column(run(dir.path(), c.sql)), c.values) << c.sql.substr(0, 80);
}

// An expression over groups may begin with the group by expression and go on.
TEST(Syntax, GroupKeyStartsALongerChain) {
    TempDir dir;
    dir.write("t.csv", "F2\r\n1\r\n1\r\n5\r\n");
    auto r = run(dir.path(), "select F2+1+10 as s, count(F2) as n from [t.csv] group by F2+1");
    EXPECT_EQ(column(r, 0), (std::vector<std::string>{"12", "16"}));
    EXPECT_EQ(column(r, 1), (std::vector<std::string>{"2", "1"}));
    EXPECT_NE(failure(dir.path(), "select 10+F2+1 as s from [t.csv] group by F2+1").find("must be counted"),
              std::string::npos);
}

TEST(Syntax, KeywordsInAnyLetterCase) {
    const engine::CharStepper gbk;
    auto s = engine::parseStatement("SeLeCt DiStInCt ToP 5 x As y FrOm [t] WhErE x Is NoT nUlL oRdEr By x DeSc", gbk);
    EXPECT_TRUE(s.distinct);
    EXPECT_EQ(s.top.value(), 5u);
    EXPECT_EQ(s.items[0].alias, "y");
    EXPECT_TRUE(s.orderBy[0].descending);
}

}  // namespace
