// --count, --preview and --domains over small GBK lists, and the binding
// around them: the address column, the description file, failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli_process.h"
#include "sample_list.h"

namespace clitest {
namespace {

class CliPreviewTest : public ::testing::Test {
protected:
    void SetUp() override { writeGbkFile(source(), kNamedList); }
    std::string source() const { return dir / "客户.csv"; }
    CliRun run(std::vector<std::string> extra, bool header = true) const {
        std::vector<std::string> args{"--source", source(), "--delimiter", "semicolon"};
        if (header) args.push_back("--header");
        args.insert(args.end(), extra.begin(), extra.end());
        return runCli(args);
    }
    TempDir dir;
};

TEST_F(CliPreviewTest, CountPrintsTheNumberOfAddresses) {
    const CliRun r = run({"--count"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "9\n");
    EXPECT_EQ(r.err, "");
    // Without the header option the title line is a row of its own.
    const CliRun noHeader = run({"--count"}, false);
    EXPECT_EQ(noHeader.exitCode, 0) << noHeader.err;
    EXPECT_EQ(noHeader.out, "10\n");
}

TEST_F(CliPreviewTest, PreviewAllPrintsNamesThenRowsInUtf8) {
    const CliRun r = run({"--preview"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "name;email\n"
              "\"张三\";\"Alice@QQ.com\"\n"
              "\"李四\";\"bob@163.com\"\n"
              "\"王五\";\"alice@qq.com\"\n"
              "\"赵六\";\"not-an-address\"\n"
              "\"钱七\";\"c@@163.com\"\n"
              "\"孙八\";\"admin@sina.com\"\n"
              "\"周九\";\"verylongprefix123@163.com\"\n"
              "\"吴十\";\"Carol@Gmail.com\"\n"
              "\"郑一\";\"dave@mail.qq.com\"\n");
    EXPECT_EQ(run({"--preview", "all"}).out, r.out);
}

// The list's encoding: detected, or named with --encoding (any letter case);
// the rows print in UTF-8 either way.
TEST_F(CliPreviewTest, EncodingDetectedOrNamed) {
    writeBytes(source(), "\xEF\xBB\xBF" "name;email\r\n张三;Alice@QQ.com\r\n");
    const std::string expected = "name;email\n\"张三\";\"Alice@QQ.com\"\n";
    EXPECT_EQ(run({"--preview"}).out, expected);
    EXPECT_EQ(run({"--encoding", "UTF-8", "--preview"}).out, expected);
    const CliRun asGbk = run({"--encoding", "gbk", "--preview"});
    EXPECT_EQ(asGbk.exitCode, 0) << asGbk.err;
    EXPECT_NE(asGbk.out, expected);  // the UTF-8 bytes read as GBK
    EXPECT_EQ(asGbk.out.rfind("name;email\n", 0), 0u);  // the mark is no part of a name
    const CliRun unknown = run({"--encoding", "latin1", "--preview"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("--encoding"), std::string::npos) << unknown.err;
}

struct PreviewCase {
    std::vector<std::string> args;
    std::vector<std::string> emails;  // the rows expected, in file order
};

TEST_F(CliPreviewTest, EachPreviewOptionNarrowsTheRows) {
    const std::vector<PreviewCase> cases = {
        {{"--preview", "invalid"}, {"not-an-address"}},
        {{"--preview", "error"}, {"c@@163.com"}},
        // The window's defaults: ">" and 9.
        {{"--preview", "prefix-length"}, {"verylongprefix123@163.com"}},
        {{"--preview", "prefix-length:>9"}, {"verylongprefix123@163.com"}},
        // InStr gives 0 without "@", so the length test takes that row too.
        {{"--preview", "prefix-length:<4"}, {"bob@163.com", "not-an-address", "c@@163.com"}},
        {{"--preview", "prefix-length:4"}, {"verylongprefix123@163.com", "Alice@QQ.com", "alice@qq.com",
                                            "admin@sina.com", "Carol@Gmail.com"}},
        // The window's default prefix list holds "admin".
        {{"--preview", "prefixes"}, {"admin@sina.com"}},
        {{"--preview", "prefixes:bob,dave"}, {"bob@163.com", "dave@mail.qq.com"}},
        {{"--preview=suffixes:163.com"}, {"bob@163.com", "c@@163.com", "verylongprefix123@163.com"}},
        // The engine compares without regard to letter case.
        {{"--preview", "suffixes:qq.com,sina.com"}, {"Alice@QQ.com", "alice@qq.com", "admin@sina.com"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--column", "email"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = run(args);
        ASSERT_EQ(r.exitCode, 0) << c.args.back() << ": " << r.err;
        std::vector<std::string> lines;
        for (std::size_t start = 0, end; (end = r.out.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(r.out.substr(start, end - start));
        ASSERT_FALSE(lines.empty()) << c.args.back();
        EXPECT_EQ(lines.front(), "name;email") << c.args.back();
        std::vector<std::string> emails;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const auto sep = lines[i].find("\";\"");
            ASSERT_NE(sep, std::string::npos) << lines[i];
            emails.push_back(lines[i].substr(sep + 3, lines[i].size() - sep - 4));
        }
        EXPECT_EQ(sorted(emails), sorted(c.emails)) << c.args.back();
    }
}

TEST_F(CliPreviewTest, EachSeparatorIsReadAsTheDescriptionFileSays) {
    struct Separator {
        const char* word;
        const char* separator;
    };
    for (const auto& s : {Separator{"comma", ","}, Separator{"semicolon", ";"}, Separator{"tab", "\t"},
                          Separator{"space", " "}}) {
        const std::string text = std::string("name") + s.separator + "email\r\n张三" + s.separator +
                                 "a@qq.com\r\n李四" + s.separator + "b@163.com\r\n";
        writeGbkFile(dir / "sep.csv", text);
        const CliRun r = runCli({"--source", dir / "sep.csv", "--delimiter", s.word, "--header", "--preview"});
        EXPECT_EQ(r.exitCode, 0) << s.word << ": " << r.err;
        EXPECT_EQ(r.out, "name;email\n\"张三\";\"a@qq.com\"\n\"李四\";\"b@163.com\"\n") << s.word;
        // Comma is the window's default.
        if (std::string(s.word) == "comma") {
            EXPECT_EQ(runCli({"--source", dir / "sep.csv", "--header", "--preview"}).out, r.out);
        }
    }
}

TEST_F(CliPreviewTest, PreviewShowsAtMostTwoHundredRows) {
    std::string text = "email\r\n";
    for (int i = 0; i < 250; ++i) text += "user" + std::to_string(i) + "@example.com\r\n";
    writeGbkFile(dir / "big.csv", text);
    const CliRun r = runCli({"--source", dir / "big.csv", "--header", "--preview"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 201);
}

TEST_F(CliPreviewTest, DomainsCountsLargestFirstLimitedToTheTopCount) {
    // Domain dK.com carries K addresses, K = 1..12.
    std::string text = "email\r\n";
    for (int k = 1; k <= 12; ++k)
        for (int i = 0; i < k; ++i) text += "u" + std::to_string(i) + "@d" + std::to_string(k) + ".com\r\n";
    writeGbkFile(dir / "domains.csv", text);
    auto expected = [](int top) {
        std::string out = "domain;quantity\n";
        for (int k = 12; k > 12 - top; --k)
            out += "\"d" + std::to_string(k) + ".com\";\"" + std::to_string(k) + "\"\n";
        return out;
    };
    const CliRun top10 = runCli({"--source", dir / "domains.csv", "--header", "--domains"});
    ASSERT_EQ(top10.exitCode, 0) << top10.err;
    EXPECT_EQ(top10.out, expected(10));
    EXPECT_EQ(runCli({"--source", dir / "domains.csv", "--header", "--domains", "10"}).out, expected(10));
    EXPECT_EQ(runCli({"--source", dir / "domains.csv", "--header", "--domains", "all"}).out, expected(12));
    EXPECT_EQ(runCli({"--source", dir / "domains.csv", "--header", "--domains", "50"}).out, expected(12));
}

TEST_F(CliPreviewTest, ColumnIsChosenByNameOrIsTheFirst) {
    // Without a header line the engine names the columns; the first is F1.
    const CliRun first = run({"--preview", "invalid"}, false);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out.substr(0, first.out.find('\n')), "F1;F2");
    EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 11);  // every name is "invalid"
    const CliRun second = run({"--column", "F2", "--preview", "invalid"}, false);
    ASSERT_EQ(second.exitCode, 0) << second.err;
    // The title line "email" and "not-an-address".
    EXPECT_EQ(std::count(second.out.begin(), second.out.end(), '\n'), 3);
    // Names match without regard to the case of A-Z, as the engine's do.
    EXPECT_EQ(run({"--column", "EMAIL", "--count"}).out, "9\n");
    const CliRun none = run({"--column", "mail", "--count"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("no column \"mail\""), std::string::npos) << none.err;
    EXPECT_EQ(none.out, "");
}

TEST_F(CliPreviewTest, DescriptionFileIsRemovedAndAUsersOneKeptAsItWas) {
    ASSERT_EQ(run({"--count"}).exitCode, 0);
    EXPECT_FALSE(exists(dir / "Schema.ini"));

    const std::string own = "[other.csv]\r\nColNameHeader=False\r\nFormat=TabDelimited\r\n";
    writeBytes(dir / "Schema.ini", own);
    const CliRun r = run({"--preview"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The section for the list was in force (the header line gave the names)...
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "name;email");
    // ...and is gone again.
    EXPECT_EQ(readBytes(dir / "Schema.ini"), own);
}

TEST_F(CliPreviewTest, FailuresExitWithOneAndTheMessageOnStandardError) {
    // A file that is not there: the engine's message.
    const CliRun missing = runCli({"--source", dir / "nothere.csv", "--count"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.empty());
    EXPECT_EQ(missing.out, "");
    EXPECT_FALSE(exists(dir / "Schema.ini"));

    // A folder that is not there: the description file cannot be written, a
    // failure the window shows in its failure box (with a full stop).
    const CliRun noDir = runCli({"--source", dir / "nodir/list.csv", "--count"});
    EXPECT_EQ(noDir.exitCode, 1);
    EXPECT_EQ(noDir.err, "Unable to write to " + dir.path() + "/nodir/Schema.ini.\n");

    // A folder named Schema.ini: the message names the file and says why.
    std::filesystem::create_directory(dir / "Schema.ini");
    const CliRun folder = run({"--count"});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.err, "Cannot read file \"" + dir.path() + "/Schema.ini\". Is a directory.\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Schema.ini"));
    std::filesystem::remove(dir / "Schema.ini");

    // A quote in a list item is quoted, not a way into the statement.
    const CliRun quoted = run({"--column", "email", "--preview", "suffixes:qq.com' or 'a'='a"});
    EXPECT_EQ(quoted.exitCode, 0) << quoted.err;
    EXPECT_EQ(quoted.out, "name;email\n");
    EXPECT_FALSE(exists(dir / "Schema.ini"));
}

TEST_F(CliPreviewTest, RowsThatCannotBeWrittenAreAFailure) {
    CliProcess process({"--source", source(), "--header", "--delimiter", "semicolon", "--preview"}, {},
                       "/dev/full");
    const CliRun r = process.wait();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot write to standard output"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(dir / "Schema.ini"));
}

TEST_F(CliPreviewTest, RelativeSourcePathsAreTakenFromTheWorkingDirectory) {
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.path());
    const CliRun r = runCli({"--source", "./sub/../客户.csv", "--header", "--delimiter", "semicolon", "--count"});
    std::filesystem::current_path(cwd);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "9\n");
}

}  // namespace
}  // namespace clitest
