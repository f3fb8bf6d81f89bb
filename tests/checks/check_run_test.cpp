#include "checks/check_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "check_lists_folder.h"

using checks::Destination;
using dns::MailDomainStatus;

namespace {

class ListSource : public checks::AddressSource {
public:
    explicit ListSource(std::vector<std::string> addresses) : addresses_(std::move(addresses)) {}
    void forEach(const std::function<void(std::string_view)>& visit) override {
        ++passes;
        for (const auto& address : addresses_) visit(address);
    }
    int passes = 0;

private:
    std::vector<std::string> addresses_;
};

struct RecordingSinks : checks::CheckSinks {
    std::vector<std::string> exportedList;
    std::map<Destination, std::vector<std::string>> aside;
    std::vector<std::pair<std::string, std::string>> rewrites;
    void exported(std::string_view address) override { exportedList.emplace_back(address); }
    void setAside(Destination destination, std::string_view address) override {
        aside[destination].emplace_back(address);
    }
    void corrected(std::string_view before, std::string_view after) override {
        rewrites.emplace_back(before, after);
    }
};

const checks::CheckLists& shippedLists() {
    static const checks::CheckLists lists = checks::loadCheckLists(testsupport::checkListsFolder(), "");
    return lists;
}

checks::CheckOptions allChecks() {
    checks::CheckOptions options;
    options.strictSyntax = options.fixDomainTypos = options.mergeGmailAliases = true;
    options.dropDisposable = options.dropRole = options.dropNoMailDomain = true;
    return options;
}

using Statuses = std::unordered_map<std::string, MailDomainStatus>;

}  // namespace

// A list worked out by hand: each address's fate in the comment.
TEST(CheckRun, EveryAddressLandsInExactlyOnePlace) {
    ListSource source({
        "zhang@qq.com",                  // exported
        ".bad@qq.com",                   // bad syntax
        "wang@gmial.com",                // corrected to wang@gmail.com (before gmial.com, a listed
                                         // disposable domain, is looked at), exported (first there)
        "li@163.cm",                     // corrected to li@163.com, exported
        "admin@163.com",                 // role
        "wang@gmail.com",                // a duplicate of the rewrite before it
        "w.a.n.g+news@googlemail.com",   // corrected to wang@gmail.com: a duplicate too
        "temp@mailinator.com",           // disposable
        "kefu@sohu.com",                 // role (pinyin)
        "liu@21cn.com",                 // exported: a real provider outweighs the disposable list
        "liu@nosuch.test",              // no mail domain: it does not exist
        "liu@slow.test",                // exported, DNS unchecked
        "x@sub.mailinator.com",          // disposable by its parent domain
        "张三@qq.com",                   // exported
        "a@b@qq.com",                    // bad syntax
        "zhang.san@gmail.com",           // corrected to zhangsan@gmail.com, exported
        "admin@gmial.com",               // corrected to admin@gmail.com, then role
        "foo@nullmx.test",               // no mail domain: null MX
        "bar@nomx.test",                 // no mail domain: neither MX nor A nor AAAA
    });
    const Statuses dns{
        {"qq.com", MailDomainStatus::Receives},         {"gmial.com", MailDomainStatus::NoSuchDomain},
        {"163.cm", MailDomainStatus::NoSuchDomain},     {"163.com", MailDomainStatus::Receives},
        {"gmail.com", MailDomainStatus::Receives},      {"googlemail.com", MailDomainStatus::Receives},
        {"sohu.com", MailDomainStatus::Receives},       {"21cn.com", MailDomainStatus::Receives},
        {"nosuch.test", MailDomainStatus::NoSuchDomain}, {"slow.test", MailDomainStatus::Unanswered},
        {"nullmx.test", MailDomainStatus::NullMx},      {"nomx.test", MailDomainStatus::NoMailRecords},
        {"mailinator.com", MailDomainStatus::Receives}, {"sub.mailinator.com", MailDomainStatus::Receives},
    };
    std::vector<std::vector<std::string>> rounds;
    const checks::DnsLookup lookUp = [&](const std::vector<std::string>& domains) {
        rounds.push_back(domains);
        Statuses answers;
        for (const auto& domain : domains) answers[domain] = dns.at(domain);
        return answers;
    };
    checks::AddressChecker checker(allChecks(), shippedLists());
    RecordingSinks sinks;
    const auto counts = checks::runAddressChecks(checker, source, sinks, lookUp);

    EXPECT_EQ(counts.badSyntax, 2);
    EXPECT_EQ(counts.corrected, 5);
    EXPECT_EQ(counts.duplicates, 2);
    EXPECT_EQ(counts.disposable, 2);
    EXPECT_EQ(counts.role, 3);
    EXPECT_EQ(counts.noMailDomain, 3);
    EXPECT_EQ(counts.exported, 7);
    EXPECT_EQ(counts.dnsUnchecked, 1);
    EXPECT_FALSE(counts.stopped);
    EXPECT_EQ(counts.badSyntax + counts.duplicates + counts.disposable + counts.role + counts.noMailDomain +
                  counts.exported,
              19);

    const std::vector<std::string> exported{"zhang@qq.com", "wang@gmail.com", "li@163.com", "liu@21cn.com",
                                            "liu@slow.test", "张三@qq.com", "zhangsan@gmail.com"};
    EXPECT_EQ(sinks.exportedList, exported);
    EXPECT_EQ(sinks.aside[Destination::BadSyntax], (std::vector<std::string>{".bad@qq.com", "a@b@qq.com"}));
    EXPECT_EQ(sinks.aside[Destination::Disposable],
              (std::vector<std::string>{"temp@mailinator.com", "x@sub.mailinator.com"}));
    EXPECT_EQ(sinks.aside[Destination::Role],
              (std::vector<std::string>{"admin@163.com", "kefu@sohu.com", "admin@gmail.com"}));
    EXPECT_EQ(sinks.aside[Destination::NoMailDomain],
              (std::vector<std::string>{"liu@nosuch.test", "foo@nullmx.test", "bar@nomx.test"}));
    const std::vector<std::pair<std::string, std::string>> rewrites{
        {"wang@gmial.com", "wang@gmail.com"},
        {"li@163.cm", "li@163.com"},
        {"w.a.n.g+news@googlemail.com", "wang@gmail.com"},
        {"zhang.san@gmail.com", "zhangsan@gmail.com"},
        {"admin@gmial.com", "admin@gmail.com"},
    };
    EXPECT_EQ(sinks.rewrites, rewrites);

    // DNS: each domain of the census once (the suggestions' targets are among them here).
    ASSERT_EQ(rounds.size(), 1u);
    EXPECT_EQ(rounds[0].size(), 14u);
    EXPECT_EQ(std::count(rounds[0].begin(), rounds[0].end(), "gmial.com"), 1);
    EXPECT_EQ(counts.domainsLookedUp, 14);
    EXPECT_EQ(source.passes, 3);  // census, meeting points, verdicts
}

TEST(CheckRun, DnsIsAskedForWhereTheSuggestionsLeadToo) {
    ListSource source({"li@163.cm", "x@qq.com", "y@gamil.com"});
    std::vector<std::vector<std::string>> rounds;
    const checks::DnsLookup lookUp = [&](const std::vector<std::string>& domains) {
        rounds.push_back(domains);
        Statuses answers;
        for (const auto& domain : domains)
            answers[domain] = domain == "163.cm" ? MailDomainStatus::NoSuchDomain : MailDomainStatus::Receives;
        return answers;
    };
    checks::AddressChecker checker(allChecks(), shippedLists());
    RecordingSinks sinks;
    const auto counts = checks::runAddressChecks(checker, source, sinks, lookUp);
    // gamil.com receives mail here, so it is not corrected, and gmail.com is never asked.
    ASSERT_EQ(rounds.size(), 2u);
    EXPECT_EQ(rounds[0], (std::vector<std::string>{"163.cm", "gamil.com", "qq.com"}));
    EXPECT_EQ(rounds[1], std::vector<std::string>{"163.com"});
    EXPECT_EQ(sinks.exportedList, (std::vector<std::string>{"li@163.com", "x@qq.com", "y@gamil.com"}));
    EXPECT_EQ(counts.corrected, 1);
}

TEST(CheckRun, OnlyTheTickedChecksRun) {
    const std::vector<std::string> list{".bad@qq.com", "admin@gamil.com", "zhang.san@gmail.com",
                                        "temp@mailinator.com", "kefu@qq.com"};
    const checks::DnsLookup noDns = [](const std::vector<std::string>&) -> Statuses {
        ADD_FAILURE() << "DNS asked while off";
        return {};
    };
    struct Case {
        const char* name;
        checks::CheckOptions options;
        std::vector<std::string> exported;
        int passes;
    };
    checks::CheckOptions syntax, typos, gmail, disposable, role;
    syntax.strictSyntax = true;
    typos.fixDomainTypos = true;
    gmail.mergeGmailAliases = true;
    disposable.dropDisposable = true;
    role.dropRole = true;
    const Case cases[] = {
        {"syntax", syntax, {"admin@gamil.com", "zhang.san@gmail.com", "temp@mailinator.com", "kefu@qq.com"}, 1},
        {"typos", typos, {".bad@qq.com", "admin@gmail.com", "zhang.san@gmail.com", "temp@mailinator.com", "kefu@qq.com"}, 3},
        {"gmail", gmail, {".bad@qq.com", "admin@gamil.com", "zhangsan@gmail.com", "temp@mailinator.com", "kefu@qq.com"}, 2},
        {"disposable", disposable, {".bad@qq.com", "admin@gamil.com", "zhang.san@gmail.com", "kefu@qq.com"}, 1},
        {"role", role, {".bad@qq.com", "zhang.san@gmail.com", "temp@mailinator.com"}, 1},
    };
    for (const auto& c : cases) {
        ListSource source(list);
        checks::AddressChecker checker(c.options, shippedLists());
        RecordingSinks sinks;
        checks::runAddressChecks(checker, source, sinks, noDns);
        EXPECT_EQ(sinks.exportedList, c.exported) << c.name;
        EXPECT_EQ(source.passes, c.passes) << c.name;
    }
}

TEST(CheckRun, ADomainTheListHoldsOftenIsTakenAsRealWithoutDns) {
    for (const int often : {999, 1000}) {
        std::vector<std::string> list;
        for (int i = 0; i < often; ++i) list.push_back("u" + std::to_string(i) + "@gmial.com");
        for (int i = 0; i < 1000; ++i) list.push_back("v" + std::to_string(i) + "@qq.com");
        ListSource source(list);
        checks::CheckOptions typos;
        typos.fixDomainTypos = true;
        checks::AddressChecker checker(typos, shippedLists());
        RecordingSinks sinks;
        const auto counts = checks::runAddressChecks(checker, source, sinks, {});
        EXPECT_EQ(counts.corrected, often < 1000 ? often : 0) << often;
        EXPECT_EQ(counts.exported, often + 1000);
    }
}

TEST(CheckRun, AStopEndsTheRun) {
    std::vector<std::string> list;
    for (int i = 0; i < 100000; ++i) list.push_back("u" + std::to_string(i) + "@qq.com");
    ListSource source(list);
    checks::CheckOptions role;
    role.dropRole = true;
    checks::AddressChecker checker(role, shippedLists());
    RecordingSinks sinks;
    int asked = 0;
    const auto counts = checks::runAddressChecks(checker, source, sinks, {}, [&] { return ++asked >= 3; });
    EXPECT_TRUE(counts.stopped);
    EXPECT_LT(sinks.exportedList.size(), 100000u);
}
