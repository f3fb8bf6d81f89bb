#include "settings/domain_export_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/code_page.h"
#include "platform/ini_file.h"
#include "temp_dir.h"

using namespace settings;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

TEST(DomainExportSettings, IntegerTexts) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"10", 10}, {"0", 0}, {"050", 50}, {"0x1A", 26}, {"0X10", 16}, {" 15 ", 15}, {"-3", -3},
        {"", 7}, {"abc", 7}, {"12abc", 7}, {"0x", 7}, {"99999999999", 7}, {"1.5", 7}, {"--1", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(parseProfileInt(c.text, 7), c.expected) << c.text;
}

TEST(DomainExportSettings, MissingFileGivesDefaults) {
    TempDir dir;
    const auto s = loadDomainExportSettings(dir.file("none.ini"));
    EXPECT_EQ(s.selected, 0);
    EXPECT_EQ(s.top, 10);
    EXPECT_TRUE(s.custom.empty());
}

TEST(DomainExportSettings, SaveWritesTheFileAndReadsBack) {
    TempDir dir;
    const auto path = dir.file("sub/exportdomainsetup.ini");  // folder made on save
    DomainExportSettings s;
    s.selected = 1;
    s.top = 20;
    s.custom = {{"网易", "163.com,126.com"}, {"qq", "qq.com"}};
    saveDomainExportSettings(path, s);
    // Written in GBK, as it always was, while GBK holds every text.
    EXPECT_EQ(readBytes(path), "[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=20\r\n[SetupCustom]\r\n" +
                                       platform::gbk("网易") + "=163.com,126.com\r\nqq=qq.com\r\n");
    const auto back = loadDomainExportSettings(path);
    EXPECT_EQ(back.selected, 1);
    EXPECT_EQ(back.top, 20);
    EXPECT_EQ(back.custom, s.custom);

    // A second save with no rows leaves no SetupCustom section.
    s.custom.clear();
    saveDomainExportSettings(path, s);
    EXPECT_FALSE(platform::ini::sectionExists(path, "SetupCustom"));
}

// Texts GBK cannot hold make the file UTF-8 with a byte-order mark; so does
// GBK text that would read back as UTF-8 ("楼" is C2 A5 in GBK, a valid UTF-8
// pair).  Either way the settings read back as saved.
TEST(DomainExportSettings, TextsGbkCannotHoldOrWouldMisreadGoUtf8) {
    for (const std::string name : {"表情😀", "楼"}) {
        TempDir dir;
        const auto path = dir.file("exportdomainsetup.ini");
        DomainExportSettings s;
        s.selected = 1;
        s.custom = {{"qq", "qq.com"}, {name, "x.com"}};
        saveDomainExportSettings(path, s);
        EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=10\r\n"
                                   "[SetupCustom]\r\nqq=qq.com\r\n" + name + "=x.com\r\n")
            << name;
        EXPECT_EQ(loadDomainExportSettings(path).custom, s.custom) << name;
    }
}

// A file written by hand in UTF-8, without a mark, reads right; so does an
// older GBK one.
TEST(DomainExportSettings, ReadsGbkAndUtf8Files) {
    TempDir dir;
    const auto path = dir.file("exportdomainsetup.ini");
    const std::vector<std::pair<std::string, std::string>> expected{{"网易", "163.com"}};
    for (const std::string& group : {std::string("网易"), platform::gbk("网易")}) {
        writeBytes(path, "[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\n" + group + "=163.com\r\n");
        EXPECT_EQ(loadDomainExportSettings(path).custom, expected);
    }
}

TEST(DomainExportSettings, DefaultPathFollowsXdgConfigHome) {
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(defaultSettingsPath(), "/tmp/xdg-test/emailclean/exportdomainsetup.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(defaultSettingsPath(), "/home/someone/.config/emailclean/exportdomainsetup.ini");
}
