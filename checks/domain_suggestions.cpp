#include "checks/domain_suggestions.h"

#include "checks/edit_distance.h"

namespace checks {
namespace {

// Public two-label endings under which providers hand out addresses.
constexpr std::string_view kTwoLabelEndings[] = {
    "com.cn", "net.cn", "org.cn", "gov.cn", "edu.cn", "ac.cn",  "com.hk", "com.tw", "net.tw",
    "org.tw", "com.sg", "com.my", "com.au", "net.au", "co.jp",  "ne.jp",  "or.jp",  "co.uk",
    "org.uk", "co.kr",  "co.in",  "co.nz",  "co.za",  "com.br", "com.mx", "com.ar", "com.tr",
    "co.id",  "co.th",  "com.vn", "com.ph", "co.il",  "com.ua", "com.pk"};

// Typo endings and the ending meant: dropped, doubled, swapped or
// neighbouring keys.  Several are real country endings (cm, co, om, ne):
// they are corrected only after a known provider's name.
struct TypoEnding {
    std::string_view typed;
    std::string_view meant;
};
constexpr TypoEnding kTypoEndings[] = {
    {"con", "com"},  {"cmo", "com"},  {"cm", "com"},   {"co", "com"},   {"comm", "com"},
    {"om", "com"},   {"ocm", "com"},  {"vom", "com"},  {"xom", "com"},  {"coom", "com"},
    {"c0m", "com"},  {"cpm", "com"},  {"cim", "com"},  {"clm", "com"},  {"ccom", "com"},
    {"comn", "com"}, {"ne", "net"},   {"nt", "net"},   {"nte", "net"},  {"ent", "net"},
    {"nett", "net"}, {"met", "net"},  {"neet", "net"}, {"ogr", "org"},  {"or", "org"},
    {"orgg", "org"}, {"rog", "org"},  {"cnn", "cn"},
};

std::optional<std::string_view> meantEnding(std::string_view typed) {
    for (const auto& typo : kTypoEndings)
        if (typo.typed == typed) return typo.meant;
    return std::nullopt;
}

bool isAsciiText(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::pair<std::string_view, std::string_view> DomainSuggester::splitDomain(std::string_view domain) {
    for (const auto ending : kTwoLabelEndings) {
        if (domain.size() > ending.size() + 1 && domain.ends_with(ending) &&
            domain[domain.size() - ending.size() - 1] == '.')
            return {domain.substr(0, domain.size() - ending.size() - 1), domain.substr(domain.size() - ending.size())};
    }
    const auto dot = domain.rfind('.');
    if (dot == std::string_view::npos) return {domain, {}};
    return {domain.substr(0, dot), domain.substr(dot + 1)};
}

DomainSuggester::DomainSuggester(const EntrySet& knownDomains) : known_(knownDomains) {
    for (const auto& domain : known_.entries()) {
        const auto [name, ending] = splitDomain(domain);
        if (name.empty() || ending.empty() || name.find('.') != std::string_view::npos) continue;
        byEnding_[std::string(ending)].push_back(Candidate{std::string(name), domain});
    }
}

std::optional<std::string> DomainSuggester::suggest(std::string_view domain) const {
    if (known_.contains(domain) || !isAsciiText(domain)) return std::nullopt;
    const auto [name, ending] = splitDomain(domain);
    if (name.empty() || ending.empty()) return std::nullopt;

    // A typo ending after a known provider's name.
    if (const auto meant = meantEnding(ending)) {
        std::string fixed = std::string(name) + "." + std::string(*meant);
        if (known_.contains(fixed)) return fixed;
        return std::nullopt;
    }

    // A slip in the name, under the same ending.
    if (name.find('.') != std::string_view::npos || name.size() <= 3) return std::nullopt;
    const auto candidates = byEnding_.find(std::string(ending));
    if (candidates == byEnding_.end()) return std::nullopt;
    const std::size_t limit = name.size() <= 5 ? 1 : 2;
    std::size_t best = limit + 1;
    const Candidate* bestCandidate = nullptr;
    bool tie = false;
    for (const auto& candidate : candidates->second) {
        if (candidate.name.size() <= 3) continue;
        // A four-character name ("mail", "sina") only by a swap or one changed
        // character: "mailw" is a name of its own, not "mail" mistyped.
        if (candidate.name.size() == 4 && name.size() != 4) continue;
        const std::size_t distance = damerauDistance(name, candidate.name, limit);
        if (distance == 0 || distance > limit) continue;
        if (distance < best) {
            best = distance;
            bestCandidate = &candidate;
            tie = false;
        } else if (distance == best) {
            tie = true;
        }
    }
    if (bestCandidate == nullptr || tie) return std::nullopt;
    return bestCandidate->domain;
}

std::optional<std::string> suggestionFor(const DomainSuggester& suggester, std::string_view domain,
                                         bool frequent, DnsOpinion dns) {
    switch (dns) {
        case DnsOpinion::ReceivesMail:
        case DnsOpinion::Unanswered:
            return std::nullopt;
        case DnsOpinion::NotAsked:
            if (frequent) return std::nullopt;
            break;
        case DnsOpinion::Fails:
            break;
    }
    return suggester.suggest(domain);
}

}  // namespace checks
