// --export-domain end to end: the settings file from --settings or from the
// per-user folder, the group files compared byte for byte with the core's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli_process.h"
#include "core_run.h"

namespace clitest {
namespace {

const char* const kList =
    "email\r\n"
    "Alice@QQ.com\r\n"
    "bob@163.com\r\n"
    "alice@qq.com\r\n"
    "not-an-address\r\n"
    "admin@sina.com\r\n"
    "verylongprefix123@163.com\r\n"
    "Carol@Gmail.com\r\n"
    "dave@mail.qq.com\r\n"
    "erin@126.com\r\n";

const char* const kDone = "Email地址按条件,按@后缀分类导出 执行完毕!\n";
const char* const kOneFailed = "emailclean-cli: 1 step of the domain export failed (see above): files are missing\n";

class CliDomainExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        cliDir = root.makeDir("cli");
        coreDir = root.makeDir("core");
        config = root.makeDir("config");
        writeGbkFile(cliDir + "/list.csv", kList);
        writeGbkFile(coreDir + "/list.csv", kList);
    }
    CliRun cli(std::vector<std::string> extra) const {
        std::vector<std::string> args{"--source", cliDir + "/list.csv", "--header"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runCli(args, {{"XDG_CONFIG_HOME", config}});
    }
    CoreResult core(const std::string& settingsPath, const exporting::CleaningOptions& options = {}) const {
        return runCoreDomainExport({coreDir + "/list.csv", true, 0, "email", {}}, options, settingsPath);
    }
    std::vector<std::string> groupFile(const std::string& name) const {
        return sorted(crlfLines(readBytes(cliDir + "/list-Export-" + name + ".csv")));
    }

    TempDir root;
    std::string cliDir, coreDir, config;
};

const char* const kCustom =
    "[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=10\r\n"
    "[SetupCustom]\r\nnetease=163.com,126.com\r\ntencent=QQ.com\r\n";

TEST_F(CliDomainExportTest, CustomGroupsFromTheSettingsOption) {
    writeBytes(root / "custom.ini", kCustom);
    const CliRun r = cli({"--export-domain", "--settings", root / "custom.ini"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(firstLine(r.out), kDone);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(groupFile("netease"), sorted(quoted({"bob@163.com", "verylongprefix123@163.com", "erin@126.com"})));
    // Items match without regard to letter case.
    EXPECT_EQ(groupFile("tencent"), quoted({"alice@qq.com"}));
    EXPECT_EQ(groupFile("OtherDomain"), sorted(quoted({"admin@sina.com", "carol@gmail.com", "dave@mail.qq.com"})));
    EXPECT_TRUE(exists(cliDir + "/list-Export.csv"));

    const CoreResult c = core(root / "custom.ini");
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(r.out, c.printed());
    expectSameFiles(cliDir, coreDir);
}

TEST_F(CliDomainExportTest, NoSettingsFileMeansTheTopTenDomains) {
    const CliRun r = cli({"--export-domain"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(firstLine(r.out), kDone);
    for (const char* domain : {"qq.com", "163.com", "126.com", "sina.com", "gmail.com", "mail.qq.com"})
        EXPECT_TRUE(exists(cliDir + "/list-Export-" + domain + ".csv")) << domain;
    // Every address fell to a group: no remainder file.
    EXPECT_FALSE(exists(cliDir + "/list-Export-OtherDomain.csv"));
    EXPECT_EQ(groupFile("163.com"), sorted(quoted({"bob@163.com", "verylongprefix123@163.com"})));

    const CoreResult c = core(config + "/emailclean/exportdomainsetup.ini");
    ASSERT_TRUE(c.ok);
    expectSameFiles(cliDir, coreDir);
}

TEST_F(CliDomainExportTest, TheSettingsFileIsReadFromThePerUserFolder) {
    std::filesystem::create_directories(config + "/emailclean");
    writeBytes(config + "/emailclean/exportdomainsetup.ini", kCustom);
    const CliRun r = cli({"--export-domain"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(exists(cliDir + "/list-Export-netease.csv"));
    EXPECT_TRUE(exists(cliDir + "/list-Export-tencent.csv"));
    EXPECT_FALSE(exists(cliDir + "/list-Export-qq.com.csv"));

    // With XDG_CONFIG_HOME unset the folder is ~/.config.
    const std::string home = root.makeDir("home");
    std::filesystem::create_directories(home + "/.config/emailclean");
    writeBytes(home + "/.config/emailclean/exportdomainsetup.ini",
              "[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nsina=sina.com\r\n");
    const CliRun fromHome = runCli({"--source", cliDir + "/list.csv", "--header", "--export-domain"},
                                   {{"XDG_CONFIG_HOME", ""}, {"HOME", home}});
    ASSERT_EQ(fromHome.exitCode, 0) << fromHome.err;
    EXPECT_EQ(groupFile("sina"), quoted({"admin@sina.com"}));
}

TEST_F(CliDomainExportTest, AnUnsafeGroupNameIsRefusedAndTheRunGoesOn) {
    writeBytes(root / "unsafe.ini",
              "[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\n../escape=163.com\r\nsina=sina.com\r\n");
    const CliRun r = cli({"--export-domain", "--settings", root / "unsafe.ini"});
    // The refused group's file is missing: the run fails, with the window's messages.
    ASSERT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("../escape"), std::string::npos) << r.err;
    // The refusal first, then the completion message (its summary below it),
    // then the count of failed steps.
    EXPECT_EQ(r.err.find(kDone), r.err.find('\n') + 1) << r.err;
    ASSERT_GE(r.err.size(), std::string(kOneFailed).size());
    EXPECT_EQ(r.err.substr(r.err.size() - std::string(kOneFailed).size()), kOneFailed) << r.err;
    EXPECT_FALSE(exists(root / "list-Export-.."));
    EXPECT_FALSE(exists(root / "escape.csv"));
    EXPECT_FALSE(exists(cliDir + "/list-Export-../escape.csv"));
    EXPECT_TRUE(exists(cliDir + "/list-Export-sina.csv"));
    // The refused group's addresses still stay out of the remainder.
    const auto rest = groupFile("OtherDomain");
    EXPECT_EQ(std::count(rest.begin(), rest.end(), "\"bob@163.com\""), 0);

    const CoreResult c = core(root / "unsafe.ini");
    EXPECT_EQ(r.err, c.printed() + kOneFailed);
    expectSameFiles(cliDir, coreDir);
}

// Group files that cannot be written (here a folder stands under each name;
// a full disk is tested through the file-system double in the core's tests):
// the other files are written, every failure is printed, and the exit status
// tells a script that files are missing.
TEST_F(CliDomainExportTest, GroupFilesThatCannotBeWrittenFailTheRun) {
    writeBytes(root / "custom.ini", kCustom);
    std::filesystem::create_directory(cliDir + "/list-Export-netease.csv");
    std::filesystem::create_directory(cliDir + "/list-Export-OtherDomain.csv");
    const CliRun r = cli({"--export-domain", "--settings", root / "custom.ini"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    const std::string failures = "Cannot create file \"" + cliDir + "/list-Export-netease.csv\". Is a directory\n" +
                                 "Cannot create file \"" + cliDir + "/list-Export-OtherDomain.csv\". Is a directory\n" +
                                 kDone;
    EXPECT_EQ(r.err.substr(0, failures.size()), failures) << r.err;
    const std::string last = "emailclean-cli: 2 steps of the domain export failed (see above): files are missing\n";
    ASSERT_GE(r.err.size(), last.size());
    EXPECT_EQ(r.err.substr(r.err.size() - last.size()), last) << r.err;
    EXPECT_EQ(groupFile("tencent"), quoted({"alice@qq.com"}));
    EXPECT_TRUE(std::filesystem::is_directory(cliDir + "/list-Export-netease.csv"));
}

TEST_F(CliDomainExportTest, CleaningOptionsApplyBeforeTheGroups) {
    writeBytes(root / "custom.ini", kCustom);
    const CliRun r = cli({"--exclude-prefixes", "bob", "--export-domain", "--settings", root / "custom.ini"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readBytes(cliDir + "/list-Exclude.csv"), "\"bob@163.com\"");
    EXPECT_EQ(groupFile("netease"), sorted(quoted({"verylongprefix123@163.com", "erin@126.com"})));

    exporting::CleaningOptions o;
    o.prefixList = true;
    o.prefixListText = "bob";
    ASSERT_TRUE(core(root / "custom.ini", o).ok);
    expectSameFiles(cliDir, coreDir);
}

TEST_F(CliDomainExportTest, ModeWithoutGroupsWritesOnlyThePipelinesFiles) {
    writeBytes(root / "none.ini", "[SetupOption]\r\nSelected=2\r\n");
    const CliRun r = cli({"--export-domain", "--settings", root / "none.ini"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(firstLine(r.out), kDone);
    EXPECT_EQ(listNames(cliDir),
              (std::vector<std::string>{"list-Export.csv", "list-Invalid.csv", "list.csv"}));
}

}  // namespace
}  // namespace clitest
