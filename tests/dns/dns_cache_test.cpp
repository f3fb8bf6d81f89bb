#include "dns/dns_cache.h"

#include <gtest/gtest.h>

#include "faulty_file_system.h"
#include "temp_dir.h"

using dns::DnsCache;
using dns::MailDomainAnswer;
using dns::MailDomainStatus;

TEST(DnsCache, AnswersLiveForTheirTimeToLive) {
    testsupport::TempDir dir;
    const std::string path = dir.file("dns-cache.txt");
    const std::int64_t t0 = 1'800'000'000;
    DnsCache cache("127.0.0.1:5353");
    cache.store("qq.com", MailDomainAnswer{MailDomainStatus::Receives, 3600}, t0);
    cache.store("nosuch.test", MailDomainAnswer{MailDomainStatus::NoSuchDomain, 60}, t0);
    cache.store("nullmx.test", MailDomainAnswer{MailDomainStatus::NullMx, 7 * 24 * 3600}, t0);
    cache.store("slow.test", MailDomainAnswer{MailDomainStatus::Unanswered, 600}, t0);  // never kept
    cache.store("zero.test", MailDomainAnswer{MailDomainStatus::Receives, 0}, t0);       // TTL 0: not kept
    EXPECT_EQ(cache.size(), 3u);
    ASSERT_TRUE(cache.save(path, t0));

    DnsCache later("127.0.0.1:5353");
    later.load(path, t0 + 59);
    EXPECT_EQ(later.find("nosuch.test", t0 + 59), MailDomainStatus::NoSuchDomain);
    EXPECT_EQ(later.find("nosuch.test", t0 + 60), std::nullopt);  // expired
    EXPECT_EQ(later.find("qq.com", t0 + 3599), MailDomainStatus::Receives);
    EXPECT_EQ(later.find("qq.com", t0 + 3600), std::nullopt);
    EXPECT_EQ(later.find("slow.test", t0), std::nullopt);
    // A week's TTL is kept a day at most.
    EXPECT_EQ(later.find("nullmx.test", t0 + dns::kMaxCacheSeconds - 1), MailDomainStatus::NullMx);
    EXPECT_EQ(later.find("nullmx.test", t0 + dns::kMaxCacheSeconds), std::nullopt);

    // Loading after expiry drops the entry; saving keeps only live ones.
    DnsCache afterAnHour("127.0.0.1:5353");
    afterAnHour.load(path, t0 + 3600);
    EXPECT_EQ(afterAnHour.size(), 1u);
}

TEST(DnsCache, EachServersAnswersApartAndKeptAcrossSaves) {
    testsupport::TempDir dir;
    const std::string path = dir.file("dns-cache.txt");
    const std::int64_t t0 = 1'800'000'000;
    DnsCache system("");
    system.store("a.test", MailDomainAnswer{MailDomainStatus::Receives, 600}, t0);
    ASSERT_TRUE(system.save(path, t0));
    DnsCache local("127.0.0.1:5353");
    local.load(path, t0);
    EXPECT_EQ(local.find("a.test", t0), std::nullopt);
    local.store("a.test", MailDomainAnswer{MailDomainStatus::NoSuchDomain, 600}, t0);
    ASSERT_TRUE(local.save(path, t0));
    DnsCache systemAgain("");
    systemAgain.load(path, t0);
    EXPECT_EQ(systemAgain.find("a.test", t0), MailDomainStatus::Receives);
    DnsCache localAgain("127.0.0.1:5353");
    localAgain.load(path, t0);
    EXPECT_EQ(localAgain.find("a.test", t0), MailDomainStatus::NoSuchDomain);
}

TEST(DnsCache, DamagedFilesAndLinesAreSkipped) {
    testsupport::TempDir dir;
    const std::int64_t t0 = 1'800'000'000;
    const std::string good = "system\tok.test\treceives\t" + std::to_string(t0 + 100) + "\n";
    dir.write("cache.txt", "# emailclean DNS answers 1\n" + good +
                               "system\tbad.test\tnonsense\t" + std::to_string(t0 + 100) + "\n"
                               "system\tnoexpiry.test\treceives\t12x\n"
                               "system\tshort.test\n"
                               "system\tunanswered.test\tunanswered\t" + std::to_string(t0 + 100) + "\n");
    DnsCache cache("");
    cache.load(dir.file("cache.txt"), t0);
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_EQ(cache.find("ok.test", t0), MailDomainStatus::Receives);

    dir.write("other.txt", "some other file\n" + good);
    cache.load(dir.file("other.txt"), t0);
    EXPECT_EQ(cache.size(), 0u);
    cache.load(dir.file("missing.txt"), t0);
    EXPECT_EQ(cache.size(), 0u);
}

TEST(DnsCache, AFileThatCannotBeWrittenLeavesTheOldOneWhole) {
    testsupport::TempDir dir;
    const std::string path = dir.file("dns-cache.txt");
    const std::int64_t t0 = 1'800'000'000;
    DnsCache cache("");
    cache.store("a.test", MailDomainAnswer{MailDomainStatus::Receives, 600}, t0);
    ASSERT_TRUE(cache.save(path, t0));
    const std::string before = testsupport::readBytes(path);
    cache.store("b.test", MailDomainAnswer{MailDomainStatus::Receives, 600}, t0);
    testsupport::FaultyFileSystem faulty;
    faulty.failAt(testsupport::FaultyFileSystem::Call::Rename, 1);
    platform::ScopedFileSystem scoped(faulty);
    EXPECT_FALSE(cache.save(path, t0));
    EXPECT_EQ(testsupport::readBytes(path), before);
    EXPECT_EQ(testsupport::listNames(dir.path()), std::vector<std::string>{"dns-cache.txt"});
}
