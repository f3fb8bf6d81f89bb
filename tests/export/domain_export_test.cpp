#include <gtest/gtest.h>

#include <filesystem>

#include "export/domain_export.h"
#include "export/full_export.h"
#include "export_fixture.h"

using namespace exporting;
using testing_files::csvValues;
using testing_files::exists;
using testing_files::listDir;
using testing_files::writeFile;

namespace {

// x.com 3, y.org 2, z.net 1, w.cn 1, sub.z.net 1 (not z.net).
const std::string kSource =
    "email\r\na1@x.com\r\na2@X.com\r\na3@x.com\r\nb1@y.org\r\nb2@y.org\r\nc1@z.net\r\nd1@w.cn\r\n"
    "e1@sub.z.net\r\nbad\r\n";

const Values kX{"a1@x.com", "a2@x.com", "a3@x.com"};
const Values kY{"b1@y.org", "b2@y.org"};

Values join(std::initializer_list<Values> parts) {
    Values all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    std::sort(all.begin(), all.end());
    return all;
}

}  // namespace

class DomainExport : public ExportFixture {
protected:
    void SetUp() override {
        bind("list.csv", kSource);
        settingsPath = dir / "config/exportdomainsetup.ini";
        std::filesystem::create_directory(dir / "config");
    }
    void settings(const std::string& ini) { writeFile(settingsPath, ini); }
    bool run() { return RunDomainExport(*ctx, CleaningOptions{}, "email", settingsPath); }
    std::string done() const { return std::string("Email地址按条件,按@后缀分类导出 执行完毕!"); }
    Values group(const std::string& name) { return csvValues(out("-Export-" + name + ".csv")); }
    // The files written besides those of the cleaning.
    Values domainFiles() {
        Values files;
        for (const auto& name : listDir(ctx->outputDir))
            if (name.rfind("list-Export-", 0) == 0) files.push_back(name);
        return files;
    }

    std::string settingsPath;
};

TEST_F(DomainExport, NoSettingsFileIsTopTen) {
    EXPECT_TRUE(run());
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(group("x.com"), kX);
    EXPECT_EQ(group("y.org"), kY);
    EXPECT_EQ(group("z.net"), Values{"c1@z.net"});
    EXPECT_EQ(group("sub.z.net"), Values{"e1@sub.z.net"});
    EXPECT_EQ(group("w.cn"), Values{"d1@w.cn"});
    EXPECT_FALSE(exists(out("-Export-OtherDomain.csv")));  // every address is in a group
    EXPECT_TRUE(exists(out("-Export.csv")));
    EXPECT_EQ(feedback.busyDepth, 0);
    EXPECT_FALSE(result.isOpen());
    EXPECT_EQ(ctx->source.adodst_csvConnection, &csvConnection);
}

TEST_F(DomainExport, TopTwoLeavesTheRestToTheRemainder) {
    settings("[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=2\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(domainFiles(), (Values{"list-Export-OtherDomain.csv", "list-Export-x.com.csv", "list-Export-y.org.csv"}));
    EXPECT_EQ(group("OtherDomain"), (Values{"c1@z.net", "d1@w.cn", "e1@sub.z.net"}));
}

TEST_F(DomainExport, TopZeroGivesEveryDomainAFile) {
    settings("[SetupTop]\r\nTop=0\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(domainFiles(), (Values{"list-Export-sub.z.net.csv", "list-Export-w.cn.csv", "list-Export-x.com.csv",
                                     "list-Export-y.org.csv", "list-Export-z.net.csv"}));
}

TEST_F(DomainExport, CustomGroupsWithOverlappingDomains) {
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nfirst=x.com,y.org\r\nsecond=y.org z.net\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(group("first"), join({kX, kY}));
    EXPECT_EQ(group("second"), join({kY, {"c1@z.net"}}));  // an item matches only the exact domain
    EXPECT_EQ(group("OtherDomain"), (Values{"d1@w.cn", "e1@sub.z.net"}));
}

// The cleaned file of a source named with "]" is a table with "]" in its
// name; top-N and custom groups both read it.
TEST_F(DomainExport, SourceNameHoldingClosingBrackets) {
    bind("l]st.csv", kSource);
    EXPECT_TRUE(run());
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(group("x.com"), kX);
    feedback.messages.clear();
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nfirst=x.com,y.org\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(group("first"), join({kX, kY}));
    EXPECT_EQ(group("OtherDomain"), (Values{"c1@z.net", "d1@w.cn", "e1@sub.z.net"}));
}

TEST_F(DomainExport, CapitalLettersInItemsMatch) {
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nBig=X.COM\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(group("Big"), kX);
}

TEST_F(DomainExport, GroupNamedOtherDomainIsReplacedByTheRemainder) {
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nOtherDomain=x.com\r\ng=y.org,z.net,w.cn\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(group("OtherDomain"), Values{"e1@sub.z.net"});
    EXPECT_EQ(group("g"), join({kY, {"c1@z.net", "d1@w.cn"}}));
}

TEST_F(DomainExport, NoGroupsWritesNothingMore) {
    for (const char* ini : {"[SetupOption]\r\nSelected=1\r\n",
                            "[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\n",
                            "[SetupOption]\r\nSelected=2\r\n[SetupCustom]\r\ng=x.com\r\n"}) {
        feedback.messages.clear();
        settings(ini);
        EXPECT_TRUE(run());
        EXPECT_EQ(feedback.messages, Values{done()}) << ini;
        EXPECT_TRUE(domainFiles().empty()) << ini;
    }
}

TEST_F(DomainExport, UnsafeGroupNameIsRefusedAndItsItemsStayOutOfTheRemainder) {
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\n../evil=x.com\r\ng=y.org\r\n");
    EXPECT_TRUE(run());
    ASSERT_EQ(feedback.messages.size(), 2u);
    EXPECT_NE(feedback.messages[0].find("\"../evil\""), std::string::npos);
    EXPECT_EQ(feedback.messages[1], done());
    EXPECT_EQ(group("g"), kY);
    EXPECT_EQ(group("OtherDomain"), (Values{"c1@z.net", "d1@w.cn", "e1@sub.z.net"}));
    EXPECT_EQ(domainFiles(), (Values{"list-Export-OtherDomain.csv", "list-Export-g.csv"}));
    EXPECT_FALSE(exists(dir / "evil.csv"));
}

TEST_F(DomainExport, DotNamesStayInsideTheOutputDirectory) {
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\n..=x.com\r\n.=y.org\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(group(".."), kX);
    EXPECT_EQ(group("."), kY);
}

TEST_F(DomainExport, MissingExportFileShowsOneMessagePerStatement) {
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\ng=x.com\r\nh=y.org\r\n");
    EXPECT_TRUE(ExportByDomain(*ctx, settings::loadDomainExportSettings(settingsPath)));
    EXPECT_EQ(feedback.messages.size(), 3u);  // two groups and the remainder
    EXPECT_TRUE(domainFiles().empty());
    EXPECT_FALSE(result.isOpen());

    feedback.messages.clear();
    EXPECT_TRUE(ExportByDomain(*ctx, settings::DomainExportSettings{}));
    EXPECT_EQ(feedback.messages.size(), 1u);  // top-N: only the statistics query runs
    EXPECT_EQ(feedback.busyDepth, 0);
}

TEST_F(DomainExport, OutputDirectoryElsewhere) {
    ctx->outputDir = dir / "out";
    std::filesystem::create_directory(ctx->outputDir);
    settings("[SetupTop]\r\nTop=1\r\n");
    EXPECT_TRUE(run());
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(group("x.com"), kX);
    EXPECT_EQ(group("OtherDomain"), (Values{"b1@y.org", "b2@y.org", "c1@z.net", "d1@w.cn", "e1@sub.z.net"}));
    EXPECT_FALSE(exists(dir / "list-Export-x.com.csv"));
}

TEST_F(DomainExport, CleaningFailureStopsTheRun) {
    CleaningOptions options;
    options.prefixList = true;  // with an empty list
    EXPECT_FALSE(RunDomainExport(*ctx, options, "email", settingsPath));
    EXPECT_EQ(feedback.messages, Values{std::string("前缀内容不能为空!")});
    EXPECT_TRUE(domainFiles().empty());
}

TEST_F(DomainExport, GroupWriteFailureGoesOnWithTheNext) {
    settings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\ng=x.com\r\nh=y.org\r\n");
    std::filesystem::create_directory(out("-Export-g.csv"));
    EXPECT_TRUE(run());
    ASSERT_EQ(feedback.messages.size(), 2u);
    EXPECT_EQ(feedback.messages[0].rfind("Cannot create file \"" + out("-Export-g.csv") + "\". ", 0), 0u);
    EXPECT_EQ(feedback.messages[1], done());
    EXPECT_EQ(group("h"), kY);
    EXPECT_EQ(group("OtherDomain"), (Values{"c1@z.net", "d1@w.cn", "e1@sub.z.net"}));
}
