// textsql from the outside: output format, exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine_test_support.h"
#include "platform/code_page.h"

namespace {

using namespace enginetest;

struct Run {
    int exitCode = -1;
    std::string out;
};

// Runs textsql with the arguments (each single-quoted for the shell); standard error to err.txt.
Run textsql(const std::vector<std::string>& args, const std::string& errFile) {
    std::string cmd = TEXTSQL_PATH;
    for (const auto& a : args) {
        std::string q = "'";
        for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        cmd += " " + q + "'";
    }
    cmd += " 2>" + errFile;
    Run r;
    FILE* p = ::popen(cmd.c_str(), "r");
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Textsql, PrintsNamesThenQuotedCells) {
    TempDir dir;
    dir.write("t.csv", "name;email\r\n\xD5\xC5;a\"b@c.d\r\nx;\r\n");
    const std::string err = dir.path() + "/err.txt";
    auto r = textsql({"--dir", dir.path(), "--fmt", "Delimited(;)", "select name, email from [t.csv]"}, err);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "name;email\n\"\xD5\xC5\";\"a\"\"b@c.d\"\n\"x\";\n");
    auto c = textsql({"--connection", connectionString(dir.path(), "No", "Delimited(;)"), "select count(F1) as n from [t.csv]"}, err);
    EXPECT_EQ(c.exitCode, 0);
    EXPECT_EQ(c.out, "n\n\"3\"\n");
    auto h = textsql({"--dir", dir.path(), "--hdr", "no", "--fmt", "Delimited(;)", "select top 1 * from [t.csv]"}, err);
    EXPECT_EQ(h.out, "F1;F2\n\"name\";\"email\"\n");
}

// A result that standard output refuses is a failure with a message, for a
// result written in one piece and for one written in 1 MiB pieces.
TEST(Textsql, OutputToAFullDeviceFails) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    TempDir dir;
    std::string big = "email\n";
    for (int i = 0; i < 100000; ++i) big += "user" + std::to_string(i) + "@example.com\n";
    dir.write("big.csv", big);
    const std::string err = dir.path() + "/err.txt";
    for (const char* sql : {"select top 3 * from [big.csv]", "select * from [big.csv]"}) {
        const std::string cmd = std::string(TEXTSQL_PATH) + " --dir '" + dir.path() + "' '" + sql +
                                "' >/dev/full 2>'" + err + "'";
        const int status = std::system(cmd.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << sql;
        EXPECT_EQ(WEXITSTATUS(status), 1) << sql;
        EXPECT_EQ(readFile(err), "textsql: cannot write the result: No space left on device\n") << sql;
    }
}

TEST(Textsql, FailuresAndUsage) {
    TempDir dir;
    const std::string err = dir.path() + "/err.txt";
    auto f = textsql({"--dir", dir.path(), "select * from [none.csv]"}, err);
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_NE(readFile(err).find("none.csv"), std::string::npos);
    EXPECT_EQ(textsql({}, err).exitCode, 2);
    EXPECT_EQ(textsql({"--dir", dir.path()}, err).exitCode, 2);
    EXPECT_EQ(textsql({"--hdr", "maybe", "--dir", dir.path(), "select 1 from [x]"}, err).exitCode, 2);
    EXPECT_EQ(textsql({"--bogus", "select"}, err).exitCode, 2);
}

}  // namespace

namespace {

TEST(Textsql, CodePageOfStatementAndOutput) {
    TempDir dir;
    // The same two rows as a UTF-8 table (with its mark) and a GBK one.
    dir.write("u.csv", "\xEF\xBB\xBFname;email\r\n张三;a@b.c\r\n😀;x@y.z\r\n");
    dir.write("g.csv", platform::gbk("name;email\r\n张三;a@b.c\r\n"));
    dir.write("Schema.ini", "[g.csv]\r\nCharacterSet=936\r\n");
    const std::string err = dir.path() + "/err.txt";
    struct Case {
        std::vector<std::string> codePage;  // the option, or none
        std::string statement;               // in that code page
        std::string out;
    };
    const std::string gbkName = platform::gbk("张三");
    const Case cases[] = {
        // By default statements and output are GBK: UTF-8 values are converted ("?" where GBK has no character).
        {{}, "select name from [u.csv]", "name\n\"" + gbkName + "\"\n\"?\"\n"},
        {{}, platform::gbk("select email from [u.csv] where name = '张三'"), "email\n\"a@b.c\"\n"},
        {{}, "select name from [g.csv]", "name\n\"" + gbkName + "\"\n"},
        {{"--codepage", "utf-8"}, "select name from [u.csv] where email like '%.c'", "name\n\"张三\"\n"},
        {{"--codepage", "UTF-8"}, "select name from [g.csv] where name = '张三'", "name\n\"张三\"\n"},
        {{"--codepage", "gbk"}, "select name from [g.csv]", "name\n\"" + gbkName + "\"\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.codePage;
        for (const std::string a : {"--dir", dir.path().c_str(), "--fmt", "Delimited(;)"}) args.push_back(a);
        args.push_back(c.statement);
        const auto r = textsql(args, err);
        EXPECT_EQ(r.exitCode, 0) << c.statement << readFile(err);
        EXPECT_EQ(r.out, c.out) << c.statement;
    }
    EXPECT_EQ(textsql({"--codepage", "latin1", "--dir", dir.path(), "select * from [g.csv]"}, err).exitCode, 2);
}

}  // namespace
