#include "checks/domain_suggestions.h"

#include <gtest/gtest.h>

#include "checks/check_lists.h"
#include "checks/edit_distance.h"
#include "check_lists_folder.h"

using checks::DnsOpinion;
using checks::DomainSuggester;

namespace {

const DomainSuggester& suggester() {
    static const checks::CheckLists lists = checks::loadCheckLists(testsupport::checkListsFolder(), "");
    static const DomainSuggester instance(lists.knownDomains);
    return instance;
}

std::string suggestionOf(const std::string& domain) { return suggester().suggest(domain).value_or(""); }

}  // namespace

TEST(DomainSuggestions, CorrectsTypingSlips) {
    const std::pair<const char*, const char*> cases[] = {
        {"qq.con", "qq.com"},           {"qq.cm", "qq.com"},          {"163.cm", "163.com"},
        {"126.cm", "126.com"},          {"sian.com", "sina.com"},     {"foxmial.com", "foxmail.com"},
        {"gmial.com", "gmail.com"},     {"gamil.com", "gmail.com"},   {"gmail.co", "gmail.com"},
        {"hotmial.com", "hotmail.com"}, {"outlok.com", "outlook.com"}, {"yahooo.com", "yahoo.com"},
        {"iclod.com", "icloud.com"},    {"gmai.com", "gmail.com"},    {"qq.comm", "qq.com"},
        {"163.ocm", "163.com"},         {"yeah.ne", "yeah.net"},      {"vip.163.con", "vip.163.com"},
        {"hotmai.com", "hotmail.com"},  {"yaho.co.jp", "yahoo.co.jp"}, {"sina.cnn", "sina.cn"},
    };
    for (const auto& [typed, meant] : cases) EXPECT_EQ(suggestionOf(typed), meant) << typed;
}

TEST(DomainSuggestions, LeavesRealDomainsAlone) {
    const char* real[] = {
        // Known providers one or two edits from each other.
        "126.com", "139.com", "188.com", "163.com", "foxmail.com", "hotmail.com", "ymail.com", "mail.com",
        "gmail.com", "email.com", "sina.cn", "sina.com", "yahoo.co.jp", "yahoo.co.uk", "live.com", "live.cn",
        "me.com", "mac.com", "gmx.com", "aol.com", "qq.com", "vip.qq.com", "yeah.net", "163.net",
        // Short names are never rewritten, only their ending.
        "164.com", "qqq.com", "gma.com", "136.com", "q.com",
        // A real ending of another country after a name that is no provider's.
        "foo.cm", "foo.co", "example.om", "bar.ne",
        // Names of their own, near a known one (the published suggesters' faults).
        "mailw.com", "maill.com", "comcast.com", "gmail.fr", "gmail.hu", "mask.io", "test.com",
        // Ties give nothing: hmail is one change from gmail and from ymail.
        "hmail.com",
        // A subdomain of a domain not in the list.
        "mail.sian.com", "vip.qq.cm.example", "mx.foo.con",
        // Internationalised and unknown-ending domains.
        "例子.中国", "gmial.xyz",
    };
    for (const char* domain : real) EXPECT_EQ(suggestionOf(domain), "") << domain;
}

TEST(DomainSuggestions, TheCallersRulesDecideFirst) {
    const auto& s = suggester();
    // DNS off: a domain the list holds often is taken as real.
    EXPECT_EQ(checks::suggestionFor(s, "gmial.com", false, DnsOpinion::NotAsked).value_or(""), "gmail.com");
    EXPECT_EQ(checks::suggestionFor(s, "gmial.com", true, DnsOpinion::NotAsked).value_or(""), "");
    // DNS on: only a domain that fails it gets a suggestion, however frequent.
    EXPECT_EQ(checks::suggestionFor(s, "gmial.com", false, DnsOpinion::ReceivesMail).value_or(""), "");
    EXPECT_EQ(checks::suggestionFor(s, "gmial.com", false, DnsOpinion::Unanswered).value_or(""), "");
    EXPECT_EQ(checks::suggestionFor(s, "gmial.com", true, DnsOpinion::Fails).value_or(""), "gmail.com");
    EXPECT_EQ(checks::suggestionFor(s, "qq.com", false, DnsOpinion::Fails).value_or(""), "");
}

TEST(DomainSuggestions, FrequentMeansOnePercentAndAThousand) {
    EXPECT_TRUE(checks::isFrequentDomain(1000, 100000));
    EXPECT_FALSE(checks::isFrequentDomain(999, 99900));     // 1 % but fewer than 1,000
    EXPECT_FALSE(checks::isFrequentDomain(1000, 100001));   // 1,000 but under 1 %
    EXPECT_TRUE(checks::isFrequentDomain(5000, 5000));
}

TEST(DomainSuggestions, UsersKnownDomainsAreNeverCorrected) {
    checks::EntrySet known;
    known.add("gmail.com");
    EXPECT_EQ(DomainSuggester(known).suggest("gmial.com").value_or(""), "gmail.com");
    known.add("gmial.com");
    EXPECT_EQ(DomainSuggester(known).suggest("gmial.com").value_or(""), "");
}

TEST(DomainSuggestions, SplitsNameAndEnding) {
    using P = std::pair<std::string_view, std::string_view>;
    EXPECT_EQ(DomainSuggester::splitDomain("vip.163.com"), P("vip.163", "com"));
    EXPECT_EQ(DomainSuggester::splitDomain("yahoo.co.jp"), P("yahoo", "co.jp"));
    EXPECT_EQ(DomainSuggester::splitDomain("sina.com.cn"), P("sina", "com.cn"));
    EXPECT_EQ(DomainSuggester::splitDomain("qq.con"), P("qq", "con"));
    EXPECT_EQ(DomainSuggester::splitDomain("com.cn"), P("com", "cn"));
}

TEST(EditDistance, DamerauCountsASwapOnce) {
    struct Case {
        const char* a;
        const char* b;
        std::size_t distance;
    };
    const Case cases[] = {
        {"gmail", "gmail", 0}, {"gmial", "gmail", 1}, {"gamil", "gmail", 1}, {"gmai", "gmail", 1},
        {"gmaill", "gmail", 1}, {"hotmail", "foxmail", 2}, {"mailw", "gmail", 2}, {"", "abc", 3},
        {"ca", "abc", 3},  // optimal string alignment: no edit of a swapped pair
        {"outlok", "outlook", 1}, {"sian", "sina", 1}, {"abcdef", "badcfe", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(checks::damerauDistance(c.a, c.b, 10), c.distance) << c.a << " " << c.b;
        EXPECT_EQ(checks::damerauDistance(c.b, c.a, 10), c.distance) << c.b << " " << c.a;
        // With a limit below the distance: limit + 1.
        if (c.distance > 0) {
            EXPECT_EQ(checks::damerauDistance(c.a, c.b, c.distance - 1), c.distance);
        }
    }
}
