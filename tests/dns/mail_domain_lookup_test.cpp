#include <gtest/gtest.h>

#include <chrono>

#include "dns/dns_cache.h"
#include "dns/mail_domain_check.h"
#include "dns/mail_domain_resolver.h"
#include "local_dns_server.h"

using dns::MailDomainStatus;
using testsupport::LocalDnsServer;

namespace {

// Every outcome a mail domain can have, as the test server holds it.
const std::vector<std::string> kRecords{
    "--mx-host=mx.test,mail.mx.test,10",
    "--host-record=mail.mx.test,127.0.0.2",
    "--mx-host=twomx.test,a.twomx.test,10",
    "--mx-host=twomx.test,b.twomx.test,20",
    "--dns-rr=nullmx.test,15,000000",       // preference 0, host "."
    "--host-record=aonly.test,127.0.0.3",   // no MX: an A record makes it deliverable
    "--host-record=aaaaonly.test,::3",
    "--txt-record=txtonly.test,no mail here",
    "--cname=alias.test,aonly.test",        // a CNAME to a name with an address
    "--cname=deadalias.test,txtonly.test",  // a CNAME to a name without one
};

dns::DnsSettings settingsFor(const std::string& server, int timeoutMs = 2000) {
    return dns::DnsSettings{server, timeoutMs};
}

std::string wordOf(const dns::LookupOutcome& outcome, const std::string& domain) {
    const auto found = outcome.answers.find(domain);
    return found == outcome.answers.end() ? "missing" : std::string(dns::statusWord(found->second.status));
}

}  // namespace

TEST(MailDomainLookup, EveryOutcomeAgainstARealServer) {
    LocalDnsServer server(kRecords);
    const std::pair<const char*, MailDomainStatus> cases[] = {
        {"mx.test", MailDomainStatus::Receives},
        {"twomx.test", MailDomainStatus::Receives},
        {"nullmx.test", MailDomainStatus::NullMx},
        {"aonly.test", MailDomainStatus::Receives},
        {"aaaaonly.test", MailDomainStatus::Receives},
        {"txtonly.test", MailDomainStatus::NoMailRecords},
        {"alias.test", MailDomainStatus::Receives},
        {"deadalias.test", MailDomainStatus::NoMailRecords},
        {"nosuch.test", MailDomainStatus::NoSuchDomain},
        {"outside.example", MailDomainStatus::Unanswered},  // the server refuses names outside its zone
    };
    std::vector<std::string> domains;
    for (const auto& [domain, status] : cases) domains.push_back(domain);
    const auto outcome = dns::lookUpMailDomains(domains, settingsFor(server.address()));
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(outcome.answers.size(), domains.size());
    for (const auto& [domain, status] : cases) EXPECT_EQ(wordOf(outcome, domain), dns::statusWord(status)) << domain;
    // The answers' time to live: the server's 600 s; a negative one without an SOA 300 s.
    EXPECT_EQ(outcome.answers.at("mx.test").ttl, 600u);
    EXPECT_EQ(outcome.answers.at("nosuch.test").ttl, 300u);
    EXPECT_EQ(outcome.answers.at("outside.example").ttl, 0u);
}

TEST(MailDomainLookup, OneLookupPerDistinctDomainManyInFlight) {
    LocalDnsServer server(kRecords);
    std::vector<std::string> domains;
    for (int i = 0; i < 3000; ++i) domains.push_back("n" + std::to_string(i) + ".test");
    for (int i = 0; i < 5; ++i) domains.push_back("mx.test");
    std::size_t lastDone = 0, reports = 0;
    dns::LookupControl control;
    control.progress = [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 3001u);
        EXPECT_GE(done, lastDone);
        lastDone = done;
        ++reports;
    };
    const auto started = std::chrono::steady_clock::now();
    const auto outcome = dns::lookUpMailDomains(domains, settingsFor(server.address()), control);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(outcome.answers.size(), 3001u);
    EXPECT_EQ(wordOf(outcome, "n2999.test"), "no-such-domain");
    EXPECT_EQ(wordOf(outcome, "mx.test"), "receives");
    EXPECT_EQ(lastDone, 3001u);
    EXPECT_GE(reports, 1u);
    // One at a time, 3000 round trips of a loaded machine would take far longer.
    EXPECT_LT(seconds, 30.0);
    server.stop();
    EXPECT_EQ(server.queriesSeen("MX", "mx.test"), 1);
    EXPECT_EQ(server.queriesSeen("MX", "n7.test"), 1);
}

TEST(MailDomainLookup, AServerThatNeverAnswersLeavesDomainsUnanswered) {
    testsupport::SilentDnsServer silent;
    const auto started = std::chrono::steady_clock::now();
    const auto outcome = dns::lookUpMailDomains({"mx.test", "nosuch.test"}, settingsFor(silent.address(), 300));
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(wordOf(outcome, "mx.test"), "unanswered");
    EXPECT_EQ(wordOf(outcome, "nosuch.test"), "unanswered");
    // Two tries, a third of the wait and then two thirds: about the timeout.
    EXPECT_GE(seconds, 0.25);
    EXPECT_LT(seconds, 5.0);
}

TEST(MailDomainLookup, FailuresOfTheServerLeaveDomainsUnanswered) {
    testsupport::FixedRcodeDnsServer servfail(2), refused(5);
    for (const auto& server : {servfail.address(), refused.address()}) {
        const auto outcome = dns::lookUpMailDomains({"mx.test"}, settingsFor(server, 600));
        EXPECT_EQ(wordOf(outcome, "mx.test"), "unanswered") << server;
    }
    // No server listening on the port (no network): refused at once by the system.
    const int closedPort = testsupport::freePort();
    const auto outcome = dns::lookUpMailDomains({"mx.test"}, settingsFor("127.0.0.1:" + std::to_string(closedPort), 600));
    EXPECT_EQ(wordOf(outcome, "mx.test"), "unanswered");
}

TEST(MailDomainLookup, StoppingLeavesTheRestUnanswered) {
    testsupport::SilentDnsServer silent;
    dns::LookupControl control;
    int asked = 0;
    control.stopRequested = [&] { return ++asked > 2; };
    const auto started = std::chrono::steady_clock::now();
    const auto outcome = dns::lookUpMailDomains({"a.test", "b.test"}, settingsFor(silent.address(), 30000), control);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(wordOf(outcome, "a.test"), "unanswered");
    EXPECT_EQ(wordOf(outcome, "b.test"), "unanswered");
    EXPECT_LT(seconds, 5.0);  // not the 30 s timeout
}

TEST(MailDomainLookup, AServerTextThatCannotWorkIsRefused) {
    try {
        dns::lookUpMailDomains({"mx.test"}, settingsFor("not a server"));
        ADD_FAILURE() << "refused expected";
    } catch (const dns::DnsError& e) {
        EXPECT_EQ(std::string(e.what()), "DNS服务器地址无效：not a server");
    }
}

TEST(MailDomainCheck, TheCacheAnswersUntilTheAnswersExpire) {
    testsupport::TempDir dir;
    const std::string cache = dir.file("cache/dns-cache.txt");  // the folder is made
    const std::vector<std::string> domains{"mx.test", "nullmx.test", "nosuch.test", "outside.example", "mx.test"};
    std::string address;
    {
        LocalDnsServer server(kRecords);
        address = server.address();
        const auto first = dns::checkMailDomains(domains, settingsFor(address), cache);
        EXPECT_EQ(first.lookedUp, 4u);
        EXPECT_EQ(first.fromCache, 0u);
        EXPECT_EQ(first.statuses.at("nullmx.test"), MailDomainStatus::NullMx);

        const auto second = dns::checkMailDomains(domains, settingsFor(address), cache);
        EXPECT_EQ(second.fromCache, 3u);  // the unanswered one is asked again
        EXPECT_EQ(second.lookedUp, 1u);
        EXPECT_EQ(second.statuses.at("nosuch.test"), MailDomainStatus::NoSuchDomain);
        server.stop();
        EXPECT_EQ(server.queriesSeen("MX", "mx.test"), 1);
        // Asked in both runs (c-ares tries a refusing server twice each time).
        EXPECT_EQ(server.queriesSeen("MX", "outside.example"), 4);
    }
    // With the server gone its answers still come from the cache...
    const auto third = dns::checkMailDomains(domains, settingsFor(address, 600), cache);
    EXPECT_EQ(third.fromCache, 3u);
    EXPECT_EQ(third.statuses.at("mx.test"), MailDomainStatus::Receives);
    EXPECT_EQ(third.statuses.at("outside.example"), MailDomainStatus::Unanswered);
    // ...and only for that server.
    dns::DnsCache other("127.0.0.1:1");
    other.load(cache, dns::secondsNow());
    EXPECT_EQ(other.size(), 0u);
}
