// --export-all end to end: the files of the cleaning pipeline and of the
// split, compared byte for byte with what the core writes for the same
// options, and the messages and exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli_process.h"
#include "core_run.h"
#include "sample_list.h"

namespace clitest {
namespace {

// One address more, repeated.
const std::string kList = std::string(kNamedList) + "冯二;bob@163.com\r\n";

const std::vector<std::string> kValid = {"alice@qq.com",    "bob@163.com",     "admin@sina.com",
                                         "verylongprefix123@163.com", "carol@gmail.com", "dave@mail.qq.com"};

const char* const kDone = "Email地址按条件全部导出 执行完毕!\n";

std::vector<std::string> without(const std::vector<std::string>& all, const std::vector<std::string>& gone) {
    std::vector<std::string> rest;
    for (const auto& a : all)
        if (std::find(gone.begin(), gone.end(), a) == gone.end()) rest.push_back(a);
    return rest;
}

// The same list in two folders: the command line works in one, the core in
// the other; their files must be the same.
class CliExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        cliDir = root.makeDir("cli");
        coreDir = root.makeDir("core");
        writeSource(kList);
    }
    void writeSource(const std::string& utf8) {
        writeGbkFile(cliDir + "/list.csv", utf8);
        writeGbkFile(coreDir + "/list.csv", utf8);
    }
    void writeBoth(const std::string& name, const std::string& bytes) {
        writeBytes(cliDir + "/" + name, bytes);
        writeBytes(coreDir + "/" + name, bytes);
    }
    CliRun cli(std::vector<std::string> extra) const {
        std::vector<std::string> args{"--source", cliDir + "/list.csv", "--delimiter", "semicolon", "--header",
                                      "--column", "email"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runCli(args);
    }
    CoreResult core(const exporting::CleaningOptions& options, const std::string& outputDir = {}) const {
        return runCoreFullExport({coreDir + "/list.csv", true, 1, "email", outputDir}, options);
    }
    std::vector<std::string> lines(const std::string& path) const { return crlfLines(readBytes(path)); }

    TempDir root;
    std::string cliDir, coreDir;
};

TEST_F(CliExportTest, WithoutOptionsWritesInvalidErrorAndExport) {
    const CliRun r = cli({"--export-all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Ten addresses: alice and bob twice each (one in capitals), one invalid,
    // one erroneous, six distinct valid ones.
    EXPECT_EQ(r.out, std::string(kDone) +
                         "读取的非空地址：10\n"
                         "无效地址（去重，存入 list-Invalid.csv）：1\n"
                         "错误地址（去重，存入 list-Error.csv）：1\n"
                         "重复地址（不区分大小写）：2\n"
                         "排除地址：0\n"
                         "导出地址（存入 list-Export.csv）：6\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(listNames(cliDir), (std::vector<std::string>{"list-Error.csv", "list-Export.csv", "list-Invalid.csv",
                                                         "list.csv"}));
    EXPECT_EQ(readBytes(cliDir + "/list-Invalid.csv"), "\"not-an-address\"");
    EXPECT_EQ(readBytes(cliDir + "/list-Error.csv"), "\"c@@163.com\"");
    EXPECT_EQ(sorted(lines(cliDir + "/list-Export.csv")), sorted(quoted(kValid)));

    const CoreResult c = core({});
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(r.out, c.printed());
    expectSameFiles(cliDir, coreDir);
}

struct ExclusionCase {
    const char* what;
    std::vector<std::string> args;
    exporting::CleaningOptions options;
    std::vector<std::string> excluded;
};

exporting::CleaningOptions prefixLength(const char* op, const char* n) {
    exporting::CleaningOptions o;
    o.prefixLength = true;
    o.prefixLengthOperator = op;
    o.prefixLengthNumber = n;
    return o;
}

TEST_F(CliExportTest, ExclusionOptionsAloneAndCombined) {
    exporting::CleaningOptions prefixes;
    prefixes.prefixList = true;
    prefixes.prefixListText = "admin,bob";
    exporting::CleaningOptions suffixes;
    suffixes.suffixList = true;
    suffixes.suffixListText = "qq.com";
    exporting::CleaningOptions combined = prefixLength("<", "5");
    combined.suffixList = true;
    combined.suffixListText = "163.com";
    exporting::CleaningOptions all3 = prefixLength(">", "9");
    all3.prefixList = true;
    all3.prefixListText = "carol";
    all3.suffixList = true;
    all3.suffixListText = "sina.com";

    const std::vector<ExclusionCase> cases = {
        {"prefix length", {"--exclude-prefix-length", ">9"}, prefixLength(">", "9"), {"verylongprefix123@163.com"}},
        {"prefix list", {"--exclude-prefixes", "admin,bob"}, prefixes, {"admin@sina.com", "bob@163.com"}},
        // The item matches the whole text after "@" only.
        {"suffix list", {"--exclude-suffixes", "qq.com"}, suffixes, {"alice@qq.com"}},
        {"length and suffixes",
         {"--exclude-prefix-length", "<5", "--exclude-suffixes", "163.com"},
         combined,
         {"bob@163.com", "dave@mail.qq.com", "verylongprefix123@163.com"}},
        {"all three",
         {"--exclude-prefix-length", ">9", "--exclude-prefixes", "carol", "--exclude-suffixes", "sina.com"},
         all3,
         {"verylongprefix123@163.com", "carol@gmail.com", "admin@sina.com"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& dir : {cliDir, coreDir})
            for (const auto& name : listNames(dir))
                if (name != "list.csv") std::filesystem::remove(dir + "/" + name);
        std::vector<std::string> args = c.args;
        args.push_back("--export-all");
        const CliRun r = cli(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(firstLine(r.out), kDone);
        EXPECT_EQ(sorted(lines(cliDir + "/list-Exclude.csv")), sorted(quoted(c.excluded)));
        EXPECT_EQ(sorted(lines(cliDir + "/list-Export.csv")), sorted(quoted(without(kValid, c.excluded))));
        EXPECT_FALSE(exists(cliDir + "/list-Temp.csv"));
        const CoreResult core_ = core(c.options);
        ASSERT_TRUE(core_.ok);
        expectSameFiles(cliDir, coreDir);
    }
}

TEST_F(CliExportTest, ExclusionFileWithDuplicatesAndAnOutputFolderElsewhere) {
    writeBoth("excl.csv", "bob@163.com\r\nbob@163.com\r\nnobody@x.com\r\nalice@qq.com\r\n");
    const std::string cliOut = root.makeDir("cli-out"), coreOut = root.makeDir("core-out");
    const CliRun r = cli({"--exclude-file", "excl.csv", "--output-dir", cliOut, "--export-all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(firstLine(r.out), kDone);
    // An inner join: a value listed twice is excluded twice.
    EXPECT_EQ(sorted(lines(cliOut + "/list-Exclude.csv")),
              sorted(quoted({"bob@163.com", "bob@163.com", "alice@qq.com"})));
    EXPECT_EQ(sorted(lines(cliOut + "/list-Export.csv")),
              sorted(quoted(without(kValid, {"bob@163.com", "alice@qq.com"}))));
    // The source folder keeps only its own files.
    EXPECT_EQ(listNames(cliDir), (std::vector<std::string>{"excl.csv", "list.csv"}));

    exporting::CleaningOptions o;
    o.excludeFile = true;
    o.excludeFileName = "excl.csv";
    ASSERT_TRUE(core(o, coreOut).ok);
    expectSameFiles(cliOut, coreOut);

    // A path to the exclusion file in the source folder names the same file.
    const std::string again = root.makeDir("cli-out2");
    ASSERT_EQ(cli({"--exclude-file", cliDir + "/excl.csv", "--output-dir", again, "--export-all"}).exitCode, 0);
    expectSameFiles(again, coreOut);
}

TEST_F(CliExportTest, ARelativeOutputFolderIsTakenFromTheWorkingDirectory) {
    const std::string out = root.makeDir("rel-out");
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(root.path());
    const CliRun r = cli({"--output-dir", "./rel-out/", "--export-all"});
    std::filesystem::current_path(cwd);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string coreOut = root.makeDir("core-out");
    ASSERT_TRUE(core({}, coreOut).ok);
    expectSameFiles(out, coreOut);
}

TEST_F(CliExportTest, ChineseFileAndFolderNamesGiveTheSameFiles) {
    const std::string cliFolder = root.makeDir("输出"), coreFolder = root.makeDir("核心");
    writeGbkFile(cliFolder + "/客户名单.csv", kList);
    writeGbkFile(coreFolder + "/客户名单.csv", kList);
    const CliRun r = runCli({"--source", cliFolder + "/客户名单.csv", "--delimiter", "semicolon", "--header",
                             "--column", "email", "--export-all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(listNames(cliFolder), (std::vector<std::string>{"客户名单-Error.csv", "客户名单-Export.csv",
                                                            "客户名单-Invalid.csv", "客户名单.csv"}));
    ASSERT_TRUE(runCoreFullExport({coreFolder + "/客户名单.csv", true, 1, "email", {}}, {}).ok);
    expectSameFiles(cliFolder, coreFolder);
}

TEST_F(CliExportTest, SplitByRowsWritesFullPartsAndNoEmptyOne) {
    for (const int rows : {4, 3}) {
        SCOPED_TRACE(rows);
        const CliRun r = cli({"--split-rows", std::to_string(rows), "--export-all"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(firstLine(r.out), kDone);
        const std::string exported = readBytes(cliDir + "/list-Export.csv");
        const std::string part1 = readBytes(cliDir + "/list-Export-1.csv");
        const std::string part2 = readBytes(cliDir + "/list-Export-2.csv");
        // The parts hold the lines in order, each with its line end.
        EXPECT_EQ(part1 + part2, exported + "\r\n");
        EXPECT_EQ(crlfLines(part1).size(), static_cast<std::size_t>(rows) + 1);  // last one empty
        EXPECT_FALSE(exists(cliDir + "/list-Export-3.csv"));

        exporting::CleaningOptions o;
        o.split = true;
        o.splitRows = std::to_string(rows);
        ASSERT_TRUE(core(o).ok);
        expectSameFiles(cliDir, coreDir);
        std::filesystem::remove(cliDir + "/list-Export-2.csv");
        std::filesystem::remove(coreDir + "/list-Export-2.csv");
    }
}

TEST_F(CliExportTest, SplitBySizeKeepsEachPartWithinTheLimit) {
    std::string text = "email\r\n";
    for (int i = 0; i < 150; ++i) text += "user" + std::to_string(1000 + i) + "@example.com\r\n";
    writeSource(text);
    const CliRun r = cli({"--split-size", "1KB", "--export-all"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string joined;
    std::vector<std::size_t> sizes;
    for (int n = 1; exists(cliDir + "/list-Export-" + std::to_string(n) + ".csv"); ++n) {
        const std::string part = readBytes(cliDir + "/list-Export-" + std::to_string(n) + ".csv");
        sizes.push_back(part.size());
        joined += part;
    }
    // 150 lines of 24 bytes with their line ends: 42 lines (1008 bytes) fit
    // into 1 KB, the 43rd would not.
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1008, 1008, 1008, 576}));
    EXPECT_EQ(joined, readBytes(cliDir + "/list-Export.csv") + "\r\n");

    exporting::CleaningOptions o;
    o.split = true;
    o.splitByRows = false;
    o.splitSize = "1";
    o.splitSizeUnitIndex = 0;
    ASSERT_TRUE(core(o).ok);
    expectSameFiles(cliDir, coreDir);
}

TEST_F(CliExportTest, SplitCountThatIsNotANumberFailsAfterThePipeline) {
    const CliRun r = cli({"--split-rows", "12abc", "--export-all"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "'12abc' is not a valid integer value.\n");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(exists(cliDir + "/list-Export.csv"));
    EXPECT_FALSE(exists(cliDir + "/list-Export-1.csv"));

    exporting::CleaningOptions o;
    o.split = true;
    o.splitRows = "12abc";
    const CoreResult c = core(o);
    EXPECT_EQ(r.err, c.printed());
    expectSameFiles(cliDir, coreDir);

    // Too large for 32 bits: the same message.
    const CliRun big = cli({"--split-rows", "99999999999", "--export-all"});
    EXPECT_EQ(big.exitCode, 1);
    EXPECT_EQ(big.err, "'99999999999' is not a valid integer value.\n");
}

TEST_F(CliExportTest, OperationFailuresExitWithOne) {
    // An output folder that does not exist: the writer's message names the file.
    const CliRun noDir = cli({"--output-dir", root / "missing", "--export-all"});
    EXPECT_EQ(noDir.exitCode, 1);
    EXPECT_NE(noDir.err.find(root / "missing/list-Invalid.csv"), std::string::npos) << noDir.err;
    EXPECT_EQ(noDir.out, "");
    const CoreResult c = core({}, root / "missing");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(noDir.err, c.printed());

    // An exclusion file that is not there: the engine refuses the join.
    const CliRun noFile = cli({"--exclude-file", "absent.csv", "--export-all"});
    EXPECT_EQ(noFile.exitCode, 1);
    EXPECT_FALSE(noFile.err.empty());
    EXPECT_EQ(noFile.out, "");
    EXPECT_FALSE(exists(cliDir + "/Schema.ini"));
}

TEST_F(CliExportTest, NoValidAddressWithASplitFailsInTheSplit) {
    writeSource("email\r\nnot-an-address\r\nc@@163.com\r\n");
    const CliRun r = cli({"--split-rows", "2", "--export-all"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    exporting::CleaningOptions o;
    o.split = true;
    o.splitRows = "2";
    const CoreResult c = core(o);
    EXPECT_FALSE(c.messages.empty());
    EXPECT_EQ(r.err, c.printed());
    expectSameFiles(cliDir, coreDir);
}

}  // namespace
}  // namespace clitest
