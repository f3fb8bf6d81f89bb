// Usage errors (exit 2), the window's input checks (exit 1 with its message),
// --help, and texts that GBK cannot hold.
#include <gtest/gtest.h>

#include <map>

#include "cli_process.h"

namespace clitest {
namespace {

const char* const kSourceText = "name;email\r\n张三;alice@qq.com\r\n李四;bob@163.com\r\n";

class CliUsageTest : public ::testing::Test {
protected:
    void SetUp() override { writeGbkFile(source(), kSourceText); }
    std::string source() const { return dir / "list.csv"; }
    // Only the source file: nothing written, no description file left.
    void expectUntouched() const { EXPECT_EQ(listNames(dir.path()), std::vector<std::string>{"list.csv"}); }
    TempDir dir;
};

TEST_F(CliUsageTest, HelpPrintsTheUsageAndSucceeds) {
    for (const char* flag : {"--help", "-h"}) {
        const CliRun run = runCli({flag});
        EXPECT_EQ(run.exitCode, 0) << flag;
        EXPECT_EQ(run.out.rfind("usage: emailclean-cli --source FILE", 0), 0u) << run.out;
        EXPECT_NE(run.out.find("--export-domain [--settings INI]"), std::string::npos);
        EXPECT_EQ(run.err, "");
    }
    // --help wins over everything else on the line.
    EXPECT_EQ(runCli({"--source", source(), "--count", "--help"}).exitCode, 0);
    expectUntouched();
}

struct UsageCase {
    const char* what;
    std::vector<std::string> args;  // "SRC" stands for the source file
    const char* errorPart;          // must appear on standard error
};

TEST_F(CliUsageTest, UsageErrorsExitWithTwoAndSayWhy) {
    const std::vector<UsageCase> cases = {
        {"nothing", {}, "--source FILE is required"},
        {"no action", {"--source", "SRC"}, "an ACTION is required"},
        {"no source", {"--count"}, "--source FILE is required"},
        {"unknown option", {"--source", "SRC", "--count", "--frobnicate"}, "unknown option --frobnicate"},
        {"stray argument", {"--source", "SRC", "--count", "extra"}, "unexpected argument \"extra\""},
        {"bad delimiter", {"--source", "SRC", "--delimiter", "pipe", "--count"}, "--delimiter takes comma"},
        {"missing value", {"--source", "SRC", "--count", "--column"}, "--column needs a value"},
        {"two actions", {"--source", "SRC", "--count", "--export-all"}, "only one ACTION"},
        {"exclude file with prefix length",
         {"--source", "SRC", "--exclude-file", "x.csv", "--exclude-prefix-length", ">9", "--export-all"},
         "--exclude-file cannot be combined"},
        {"exclude file with prefixes",
         {"--source", "SRC", "--exclude-prefixes", "admin", "--exclude-file", "x.csv", "--export-domain"},
         "--exclude-file cannot be combined"},
        {"exclude file with suffixes",
         {"--source", "SRC", "--exclude-file", "x.csv", "--exclude-suffixes", "qq.com", "--export-all"},
         "--exclude-file cannot be combined"},
        {"both split modes", {"--source", "SRC", "--split-rows", "5", "--split-size", "1KB", "--export-all"},
         "--split-rows and --split-size exclude each other"},
        {"settings without domain export", {"--source", "SRC", "--settings", "x.ini", "--export-all"},
         "--settings belongs to --export-domain"},
        {"top count not offered", {"--source", "SRC", "--domains", "7"}, "--domains takes 10, 15, 20, 30, 50 or all"},
        {"unknown preview", {"--source", "SRC", "--preview", "vip"}, "unknown --preview option \"vip\""},
        {"value on plain preview", {"--source", "SRC", "--preview", "invalid:x"}, "--preview invalid takes no value"},
        {"prefix length operator", {"--source", "SRC", "--exclude-prefix-length", "=9", "--export-all"},
         "--exclude-prefix-length takes"},
        {"prefix length of three digits", {"--source", "SRC", "--exclude-prefix-length", ">100", "--export-all"},
         "--exclude-prefix-length takes"},
        {"prefix length not digits", {"--source", "SRC", "--preview", "prefix-length:>9 or 1=1"},
         "--preview prefix-length takes"},
        {"exclusion file elsewhere", {"--source", "SRC", "--exclude-file", "/etc/passwd", "--export-all"},
         "the exclusion file is read from the source file's directory"},
        {"value on a flag", {"--source", "SRC", "--export-all=yes"}, "--export-all takes no value"},
        {"empty output directory", {"--source", "SRC", "--output-dir", "", "--export-all"},
         "--output-dir needs a directory"},
        {"empty settings name", {"--source", "SRC", "--export-domain", "--settings="}, "--settings needs a file name"},
        {"empty report name", {"--source", "SRC", "--export-all", "--report", ""}, "--report needs a file name"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args;
        for (const auto& a : c.args) args.push_back(a == "SRC" ? source() : a);
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << c.what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.errorPart), std::string::npos) << c.what << "\n" << run.err;
        EXPECT_NE(run.err.find("usage: emailclean-cli"), std::string::npos) << c.what;
        EXPECT_EQ(run.out, "") << c.what;
    }
    expectUntouched();
}

struct InputCheckCase {
    const char* what;
    std::vector<std::string> args;
    const char* message;  // the window's text, UTF-8
};

TEST_F(CliUsageTest, EmptyFieldsGetTheWindowsMessagesAndExitOne) {
    const std::vector<InputCheckCase> cases = {
        {"empty exclusion file", {"--exclude-file", "", "--export-all"}, "Email地址排除文件不能为空,请选择排除文件!"},
        {"empty prefix length", {"--exclude-prefix-length", ">", "--export-all"}, "前缀长度不能为空!"},
        {"empty prefix list", {"--exclude-prefixes", "", "--export-all"}, "前缀内容不能为空!"},
        {"empty suffix list", {"--exclude-suffixes", "", "--export-domain"}, "后缀内容不能为空!"},
        {"empty split count", {"--split-rows", "", "--export-all"}, "数据行数不能为空值或0!"},
        {"zeros split count", {"--split-rows", "000", "--export-all"}, "数据行数不能为空值或0!"},
        // The split checks run for the domain export too.
        {"zero split count, domain export", {"--split-rows", "0", "--export-domain"}, "数据行数不能为空值或0!"},
        {"zero split size", {"--split-size", "0KB", "--export-all"}, "文件大小不能为空值或0!"},
        {"empty split size", {"--split-size", "MB", "--export-all"}, "文件大小不能为空值或0!"},
        // Several empty fields: the first check in the window's order speaks.
        {"two empty fields", {"--exclude-prefixes", "", "--split-rows", "0", "--export-all"}, "前缀内容不能为空!"},
        {"empty preview prefix length", {"--preview", "prefix-length:>"}, "前缀长度不能为空!"},
        {"empty preview prefix list", {"--preview", "prefixes:"}, "前缀内容不能为空!"},
        // The suffix field is empty by default in the window.
        {"default preview suffix list", {"--preview", "suffixes"}, "后缀内容不能为空!"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--source", source(), "--header", "--delimiter", "semicolon"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1) << c.what;
        EXPECT_EQ(run.err, std::string(c.message) + "\n") << c.what;
        EXPECT_EQ(run.out, "") << c.what;
    }
    expectUntouched();
}

// Texts are UTF-8, every character of it; bytes that are not UTF-8 are refused.
TEST_F(CliUsageTest, TextsThatAreNotUtf8AreRefused) {
    const CliRun emoji = runCli({"--source", source(), "--exclude-prefixes", "ad😀min", "--export-all"});
    EXPECT_EQ(emoji.exitCode, 0) << emoji.err;

    for (const char* option : {"--column", "--exclude-prefixes"}) {
        const CliRun bad = runCli({"--source", source(), option, "\xff\xfe", "--count"});
        EXPECT_EQ(bad.exitCode, 1) << option;
        EXPECT_NE(bad.err.find(option), std::string::npos) << bad.err;
        EXPECT_NE(bad.err.find("UTF-8"), std::string::npos) << bad.err;
    }
}

// The per-user settings folder may have any name the file system holds.
TEST_F(CliUsageTest, ASettingsFolderOfAnyName) {
    const std::map<std::string, std::string> env{{"XDG_CONFIG_HOME", dir / "配置😀"}};
    const CliRun domain =
        runCli({"--source", source(), "--header", "--delimiter", "semicolon", "--column", "email", "--export-domain"},
               env);
    EXPECT_EQ(domain.exitCode, 0) << domain.err;

    writeBytes(dir / "s.ini", "[SetupOption]\r\nSelected=2\r\n");
    const CliRun named = runCli(
        {"--source", source(), "--header", "--delimiter", "semicolon", "--export-domain", "--settings", dir / "s.ini"},
        env);
    EXPECT_EQ(named.exitCode, 0) << named.err;
}

}  // namespace
}  // namespace clitest
