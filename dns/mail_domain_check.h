// Mail domains checked over DNS with the cache in front: each distinct domain
// is answered from the cache while its answer lives, else looked up (and the
// answer kept for next time).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "dns/mail_domain_resolver.h"

namespace dns {

struct DomainCheckResult {
    std::unordered_map<std::string, MailDomainStatus> statuses;  // every domain asked
    std::size_t fromCache = 0;
    std::size_t lookedUp = 0;
    bool stopped = false;
};

// cachePath "" uses no cache.  Throws DnsError when the settings cannot be used.
DomainCheckResult checkMailDomains(const std::vector<std::string>& domains, const DnsSettings& settings,
                                   const std::string& cachePath, const LookupControl& control = {});

}  // namespace dns
