#include "checks/check_lists.h"

#include <gtest/gtest.h>

#include "check_lists_folder.h"
#include "temp_dir.h"

using testsupport::TempDir;
using testsupport::writeBytes;

TEST(CheckLists, ListTextIsOneEntryALineWithComments) {
    const auto entries = checks::parseListText(
        "\xEF\xBB\xBF# a comment line\n"
        "Mailinator.COM\r\n"
        "  spaced.example  # after an entry\n"
        "\n"
        "   \t\n"
        "kefu\n"
        "last-without-newline");
    const std::vector<std::string> expected{"mailinator.com", "spaced.example", "kefu", "last-without-newline"};
    EXPECT_EQ(entries, expected);
}

TEST(CheckLists, DisposableByDomainOrParentUnlessARealProviderIsMoreSpecific) {
    checks::CheckLists lists;
    lists.disposableDomains.add("mailinator.com");
    lists.disposableDomains.add("dynv6.net");
    lists.disposableDomains.add("21cn.com");
    lists.disposableDomains.add("trash.sohu.com");
    lists.realProviders.add("21cn.com");
    lists.realProviders.add("sohu.com");
    lists.realProviders.add("mail.dynv6.net");
    const std::pair<const char*, bool> cases[] = {
        {"mailinator.com", true},
        {"x.mailinator.com", true},       // a parent domain on the list
        {"a.b.mailinator.com", true},
        {"notmailinator.com", false},     // a name ending the same way is no subdomain
        {"mailinator.com.cn", false},
        {"21cn.com", false},              // on both: the real provider wins
        {"vip.21cn.com", false},
        {"sohu.com", false},
        {"trash.sohu.com", true},         // the more specific disposable entry decides
        {"x.trash.sohu.com", true},
        {"foo.dynv6.net", true},
        {"mail.dynv6.net", false},        // the more specific real entry decides
        {"qq.com", false},
    };
    for (const auto& [domain, disposable] : cases)
        EXPECT_EQ(checks::isDisposableDomain(lists, domain), disposable) << domain;
}

TEST(CheckLists, RolesExactWithLetterCaseIgnored) {
    checks::CheckLists lists;
    lists.roleLocalParts.add("admin");
    lists.roleLocalParts.add("kefu");
    EXPECT_TRUE(checks::isRoleLocalPart(lists, "admin"));
    EXPECT_TRUE(checks::isRoleLocalPart(lists, "ADMIN"));
    EXPECT_TRUE(checks::isRoleLocalPart(lists, "KeFu"));
    EXPECT_FALSE(checks::isRoleLocalPart(lists, "admin1"));
    EXPECT_FALSE(checks::isRoleLocalPart(lists, "the.admin"));
    EXPECT_FALSE(checks::isRoleLocalPart(lists, "张三"));
    EXPECT_FALSE(checks::isRoleLocalPart(lists, std::string(80, 'a')));
}

TEST(CheckLists, TheProgramsListsExtendedByTheUsersFiles) {
    TempDir program, user;
    for (const char* name : {checks::kKnownDomainsFile, checks::kDisposableDomainsFile, checks::kRealProvidersFile,
                             checks::kRoleAddressesFile, checks::kPinyinRolesFile})
        writeBytes(program.file(name), "# the program's\n");
    writeBytes(program.file(checks::kDisposableDomainsFile), "mailinator.com\n");
    writeBytes(program.file(checks::kRoleAddressesFile), "admin\n");
    writeBytes(program.file(checks::kPinyinRolesFile), "kefu\n");
    writeBytes(user.file(checks::kDisposableDomainsFile), "# mine\nthrowaway.example\n");
    writeBytes(user.file(checks::kRoleAddressesFile), "Boss\n");
    writeBytes(user.file(checks::kRealProvidersFile), "mailinator.com\n");
    writeBytes(user.file(checks::kKnownDomainsFile), "corp.example\n");

    const auto lists = checks::loadCheckLists(program.path(), user.path());
    EXPECT_TRUE(lists.disposableDomains.contains("mailinator.com"));
    EXPECT_TRUE(lists.disposableDomains.contains("throwaway.example"));
    EXPECT_FALSE(checks::isDisposableDomain(lists, "mailinator.com"));  // the user says it is real
    EXPECT_TRUE(checks::isRoleLocalPart(lists, "admin"));
    EXPECT_TRUE(checks::isRoleLocalPart(lists, "kefu"));
    EXPECT_TRUE(checks::isRoleLocalPart(lists, "boss"));
    EXPECT_TRUE(lists.knownDomains.contains("corp.example"));

    // No user files at all is fine; a program list missing is not.
    EXPECT_NO_THROW(checks::loadCheckLists(program.path(), user.file("nowhere")));
    std::filesystem::remove(program.file(checks::kPinyinRolesFile));
    try {
        checks::loadCheckLists(program.path(), user.path());
        ADD_FAILURE() << "a missing list must be refused";
    } catch (const checks::ListError& e) {
        EXPECT_EQ(std::string(e.what()), "找不到地址检查列表文件：" + program.file(checks::kPinyinRolesFile));
    }
}

// The shipped snapshots and the program's own lists, as the build tree holds them.
TEST(CheckLists, TheShippedLists) {
    const auto lists = checks::loadCheckLists(testsupport::checkListsFolder(), "");
    EXPECT_GT(lists.disposableDomains.size(), 5000u);
    EXPECT_GT(lists.roleLocalParts.size(), 1000u);
    EXPECT_GT(lists.knownDomains.size(), 100u);
    // The Chinese providers public lists flag by mistake are real here.
    for (const char* domain : {"21cn.com", "tom.com", "139.com", "189.cn", "yeah.net", "188.com", "sohu.com",
                               "vip.sohu.com"})
        EXPECT_FALSE(checks::isDisposableDomain(lists, domain)) << domain;
    // No known provider is taken for a disposable one (a refreshed snapshot
    // that flags one needs an entry in real-providers.txt).
    for (const auto& domain : lists.knownDomains.entries())
        EXPECT_FALSE(checks::isDisposableDomain(lists, domain)) << domain;
    EXPECT_TRUE(checks::isDisposableDomain(lists, "mailinator.com"));
    for (const char* role : {"admin", "postmaster", "webmaster", "info", "kefu", "zhaopin", "caiwu", "renshi",
                             "xingzheng"})
        EXPECT_TRUE(checks::isRoleLocalPart(lists, role)) << role;
    EXPECT_FALSE(checks::isRoleLocalPart(lists, "zhangsan"));
}

TEST(CheckLists, TheBuildTreesListsAreFoundFromTheProgramsPath) {
    // This test program lives two folders below the build tree's root.
    EXPECT_EQ(checks::programListFolder(), testsupport::checkListsFolder());
}
