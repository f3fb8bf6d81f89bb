#include "checks/address_checks.h"

#include <algorithm>

#include "checks/address_parts.h"
#include "checks/gmail_alias.h"

namespace checks {

AddressChecker::AddressChecker(const CheckOptions& options, const CheckLists& lists)
    : options_(options), lists_(lists), suggester_(lists.knownDomains) {}

AddressChecker::DomainFacts& AddressChecker::factsOf(std::string_view domain) {
    const auto found = domains_.find(domain);
    if (found != domains_.end()) return found->second;
    return domains_.emplace(std::string(domain), DomainFacts{}).first->second;
}

void AddressChecker::checkDomainSyntax(std::string_view domain, DomainFacts& facts) {
    if (facts.syntaxChecked) return;
    facts.syntax = checkStrictDomain(domain, facts.ascii);
    if (facts.syntax != SyntaxFault::None) facts.ascii.clear();
    facts.dnsName = facts.ascii;
    // Without the strict check a domain such as "mail_1.example.com" reaches
    // DNS as it stands; one that is not even ASCII cannot be asked.
    if (facts.dnsName.empty() && !domain.empty() &&
        std::all_of(domain.begin(), domain.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        facts.dnsName = domain;
    facts.syntaxChecked = true;
}

void AddressChecker::census(std::string_view address) {
    const auto parts = splitAddress(address);
    if (!parts) return;
    DomainFacts& facts = factsOf(parts->domain);
    if (options_.strictSyntax) {
        checkDomainSyntax(parts->domain, facts);
        if (facts.syntax != SyntaxFault::None || checkStrictLocalPart(parts->local) != SyntaxFault::None ||
            !fitsAddressLength(parts->local.size(), parts->domain.size(), facts.ascii.size()))
            return;
    }
    ++facts.count;
    ++censusTotal_;
}

std::optional<dns::MailDomainStatus> AddressChecker::dnsStatusOf(const DomainFacts& facts) const {
    if (facts.dnsName.empty()) return std::nullopt;
    const auto found = dns_.find(facts.dnsName);
    if (found == dns_.end()) return std::nullopt;
    return found->second;
}

std::vector<std::string> AddressChecker::domainsToLookUp() {
    std::vector<std::string> wanted;
    if (!options_.dropNoMailDomain) return wanted;
    auto want = [&](std::string_view domain) {
        DomainFacts& facts = factsOf(domain);
        checkDomainSyntax(domain, facts);
        if (!facts.dnsName.empty() && !dns_.contains(facts.dnsName)) wanted.push_back(facts.dnsName);
    };
    std::vector<std::string> counted;
    for (const auto& [domain, facts] : domains_)
        if (facts.count > 0) counted.push_back(domain);
    for (const auto& domain : counted) {
        want(domain);
        // Where the rewrites lead must be answered for too.
        if (options_.fixDomainTypos) {
            const DomainFacts& facts = factsOf(domain);
            const auto status = dnsStatusOf(facts);
            if (status && dns::hasNoMailServer(*status))
                if (const auto target = suggestionOf(domain)) want(*target);
        }
        if (options_.mergeGmailAliases && domain == "googlemail.com") want("gmail.com");
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    return wanted;
}

void AddressChecker::addDnsStatuses(const std::unordered_map<std::string, dns::MailDomainStatus>& statuses) {
    for (const auto& [domain, status] : statuses) dns_[domain] = status;
    for (auto& [domain, facts] : domains_) facts.suggestionDone = false;  // answers change suggestions
}

std::optional<std::string> AddressChecker::suggestionOf(std::string_view domain) {
    DomainFacts& facts = factsOf(domain);
    if (facts.suggestionDone) return facts.suggestion;
    DnsOpinion opinion = DnsOpinion::NotAsked;
    if (options_.dropNoMailDomain) {
        checkDomainSyntax(domain, facts);
        const auto status = dnsStatusOf(facts);
        if (!status || *status == dns::MailDomainStatus::Unanswered)
            opinion = DnsOpinion::Unanswered;
        else
            opinion = dns::hasNoMailServer(*status) ? DnsOpinion::Fails : DnsOpinion::ReceivesMail;
    }
    const bool frequent = isFrequentDomain(facts.count, censusTotal_);
    facts.suggestion = suggestionFor(suggester_, domain, frequent, opinion);
    facts.suggestionDone = true;
    return facts.suggestion;
}

bool AddressChecker::isDisposable(std::string_view domain, DomainFacts& facts) {
    if (facts.disposable < 0) {
        checkDomainSyntax(domain, facts);
        // The lists hold ASCII forms; an internationalised domain is looked up by its own.
        const std::string_view name = facts.ascii.empty() ? domain : std::string_view(facts.ascii);
        facts.disposable = isDisposableDomain(lists_, name) ? 1 : 0;
    }
    return facts.disposable == 1;
}

AddressVerdict AddressChecker::check(std::string_view address) {
    AddressVerdict verdict;
    auto parts = splitAddress(address);
    if (!parts) {
        // Only the syntax check has something to say of an address without "@".
        if (options_.strictSyntax) verdict.destination = Destination::BadSyntax;
        return verdict;
    }
    // 0: strict syntax.
    if (options_.strictSyntax) {
        DomainFacts& facts = factsOf(parts->domain);
        checkDomainSyntax(parts->domain, facts);
        if (facts.syntax != SyntaxFault::None || checkStrictLocalPart(parts->local) != SyntaxFault::None ||
            !fitsAddressLength(parts->local.size(), parts->domain.size(), facts.ascii.size())) {
            verdict.destination = Destination::BadSyntax;
            return verdict;
        }
    }
    // 1 and 2: the rewrites.
    std::string rewritten;
    if (options_.fixDomainTypos) {
        if (const auto target = suggestionOf(parts->domain)) {
            rewritten.reserve(parts->local.size() + 1 + target->size());
            rewritten.append(parts->local).append("@").append(*target);
        }
    }
    if (options_.mergeGmailAliases) {
        if (auto merged = mergedGmailAddress(rewritten.empty() ? address : std::string_view(rewritten)))
            rewritten = std::move(*merged);
    }
    if (!rewritten.empty()) {
        verdict.rewritten = std::move(rewritten);
        parts = splitAddress(verdict.rewritten);
    }
    // 3: disposable.
    if (options_.dropDisposable && isDisposable(parts->domain, factsOf(parts->domain))) {
        verdict.destination = Destination::Disposable;
        return verdict;
    }
    // 4: role.
    if (options_.dropRole && isRoleLocalPart(lists_, parts->local)) {
        verdict.destination = Destination::Role;
        return verdict;
    }
    // 5: DNS.
    if (options_.dropNoMailDomain) {
        DomainFacts& facts = factsOf(parts->domain);
        checkDomainSyntax(parts->domain, facts);
        const auto status = dnsStatusOf(facts);
        if (status && dns::hasNoMailServer(*status)) {
            verdict.destination = Destination::NoMailDomain;
            return verdict;
        }
        if (!status || *status == dns::MailDomainStatus::Unanswered) verdict.dnsUnanswered = true;
    }
    return verdict;
}

}  // namespace checks
