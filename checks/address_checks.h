// The opt-in checks over the cleaned addresses, in their order:
//   0 strict syntax   -> set aside as bad syntax
//   1 typo fix        -> the domain rewritten to the suggested one
//   2 Gmail aliases   -> dots and "+tag" removed, googlemail.com to gmail.com
//   3 disposable      -> set aside
//   4 role            -> set aside
//   5 DNS             -> set aside when the domain has no mail server
// each only when asked for.  The checker is driven in passes over the
// addresses (UTF-8, lower-case, distinct): a census of the domains (for the
// "frequent domain" rule and for DNS), the DNS answers, then a verdict per
// address.  Each domain's facts are worked out once and remembered.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checks/check_lists.h"
#include "checks/domain_suggestions.h"
#include "checks/strict_syntax.h"
#include "dns/mail_domain_status.h"

namespace checks {

struct CheckOptions {
    bool strictSyntax = false;
    bool fixDomainTypos = false;
    bool mergeGmailAliases = false;
    bool dropDisposable = false;
    bool dropRole = false;
    bool dropNoMailDomain = false;

    bool any() const {
        return strictSyntax || fixDomainTypos || mergeGmailAliases || dropDisposable || dropRole || dropNoMailDomain;
    }
    bool rewrites() const { return fixDomainTypos || mergeGmailAliases; }
    // The verdicts need the census pass first.
    bool needsCensus() const { return fixDomainTypos || dropNoMailDomain; }
};

enum class Destination { Export, BadSyntax, Disposable, Role, NoMailDomain };

struct AddressVerdict {
    Destination destination = Destination::Export;
    std::string rewritten;   // the address after steps 1 and 2; "" when unchanged
    bool dnsUnanswered = false;  // kept because its domain's answer did not come
};

class AddressChecker {
public:
    AddressChecker(const CheckOptions& options, const CheckLists& lists);

    const CheckOptions& options() const { return options_; }

    // Census: counts the address's domain (addresses that fail strict syntax,
    // when that check is on, are not counted).
    void census(std::string_view address);
    std::int64_t censusTotal() const { return censusTotal_; }

    // The domains (ASCII form) DNS must still answer for before the verdicts:
    // the census's, then those the answers make suggestions of.  Ask until
    // it comes back empty.  Nothing when DNS is off.
    std::vector<std::string> domainsToLookUp();
    void addDnsStatuses(const std::unordered_map<std::string, dns::MailDomainStatus>& statuses);

    AddressVerdict check(std::string_view address);

    // The domain's suggestion by every rule (census counts, DNS answers).
    std::optional<std::string> suggestionOf(std::string_view domain);

private:
    struct DomainFacts {
        bool syntaxChecked = false;
        SyntaxFault syntax = SyntaxFault::None;
        std::string ascii;    // the ASCII form ("" when not a valid domain)
        std::string dnsName;  // what DNS is asked: the ASCII form, else an ASCII domain as it is
        std::int64_t count = 0;
        bool suggestionDone = false;
        std::optional<std::string> suggestion;
        int disposable = -1;  // unknown, 0, 1
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    DomainFacts& factsOf(std::string_view domain);
    void checkDomainSyntax(std::string_view domain, DomainFacts& facts);
    std::optional<dns::MailDomainStatus> dnsStatusOf(const DomainFacts& facts) const;
    bool isDisposable(std::string_view domain, DomainFacts& facts);

    CheckOptions options_;
    const CheckLists& lists_;
    DomainSuggester suggester_;
    std::unordered_map<std::string, DomainFacts, Hash, std::equal_to<>> domains_;
    std::unordered_map<std::string, dns::MailDomainStatus> dns_;
    std::int64_t censusTotal_ = 0;
};

}  // namespace checks
