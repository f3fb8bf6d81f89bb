// Suggested domains for typing slips ("qq.con", "gmial.com"), with few false
// positives: a known domain is never corrected, and a slip is corrected only
// to a known domain;
//  - the ending (what follows the name: "com", "com.cn") is corrected only
//    from a typo ending ("con", "cm", "co", ...) and only when the name is a
//    known provider's, so a real ending of another country stays ("foo.cm");
//  - the name is corrected only under the same ending, to a single best
//    candidate (a tie gives none), by a Damerau distance of at most 1 for
//    names of up to 5 characters and at most 2 for longer ones; names of 3
//    characters or fewer ("qq", "163") are never changed nor reached, and a
//    known name of 4 ("mail") only by a swap or one changed character;
//  - a subdomain of a domain not in the list is left alone.
// Beyond the list, the caller's rules (how often the list holds the domain,
// what DNS says of it) decide through suggestionFor.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checks/check_lists.h"

namespace checks {

class DomainSuggester {
public:
    explicit DomainSuggester(const EntrySet& knownDomains);

    bool isKnown(std::string_view domain) const { return known_.contains(domain); }
    // The known domain the (lower-case) domain is a slip of, by the list's rules.
    std::optional<std::string> suggest(std::string_view domain) const;

    // name and ending: "vip.163" and "com" for "vip.163.com", "yahoo" and
    // "co.jp" for "yahoo.co.jp"; the ending is the last label unless a known
    // two-label ending fits.
    static std::pair<std::string_view, std::string_view> splitDomain(std::string_view domain);

private:
    struct Candidate {
        std::string name;
        std::string domain;
    };
    EntrySet known_;
    // Known domains by ending, for names without dots.
    std::unordered_map<std::string, std::vector<Candidate>> byEnding_;
};

// What DNS said of a domain, for the suggestion rules.
enum class DnsOpinion { NotAsked, ReceivesMail, Fails, Unanswered };

// The suggestion for a domain of the list: none when DNS says it receives
// mail (or did not answer); with DNS off, none for a domain the list holds
// often (frequent: at least 1 % of the valid addresses and at least 1,000 of
// them); else the suggester's.
std::optional<std::string> suggestionFor(const DomainSuggester& suggester, std::string_view domain,
                                         bool frequent, DnsOpinion dns);

// Whether a domain held by count of total valid addresses counts as real by its weight.
inline bool isFrequentDomain(long long count, long long total) {
    return count >= 1000 && count * 100 >= total;
}

}  // namespace checks
