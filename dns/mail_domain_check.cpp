#include "dns/mail_domain_check.h"

#include "dns/dns_cache.h"

namespace dns {

DomainCheckResult checkMailDomains(const std::vector<std::string>& domains, const DnsSettings& settings,
                                   const std::string& cachePath, const LookupControl& control) {
    DomainCheckResult result;
    const std::int64_t now = secondsNow();
    DnsCache cache(settings.servers);
    if (!cachePath.empty()) cache.load(cachePath, now);

    std::vector<std::string> toLookUp;
    for (const auto& domain : domains) {
        if (result.statuses.contains(domain)) continue;
        if (const auto kept = cache.find(domain, now)) {
            result.statuses.emplace(domain, *kept);
            ++result.fromCache;
        } else {
            result.statuses.emplace(domain, MailDomainStatus::Unanswered);
            toLookUp.push_back(domain);
        }
    }
    if (toLookUp.empty()) return result;

    LookupControl inner = control;
    if (control.progress) {
        const std::size_t cached = result.fromCache, total = result.statuses.size();
        inner.progress = [&control, cached, total](std::size_t done, std::size_t) {
            control.progress(cached + done, total);
        };
    }
    const LookupOutcome outcome = lookUpMailDomains(toLookUp, settings, inner);
    result.stopped = outcome.stopped;
    result.lookedUp = toLookUp.size();
    const std::int64_t answeredAt = secondsNow();
    for (const auto& [domain, answer] : outcome.answers) {
        result.statuses[domain] = answer.status;
        cache.store(domain, answer, answeredAt);
    }
    if (!cachePath.empty()) cache.save(cachePath, answeredAt);
    return result;
}

}  // namespace dns
