// One run of the address checks over a list of distinct addresses, in passes
// that the caller's source replays (a file read again each time): the census
// when the checks need it, the DNS answers, the rewrites' meeting points when
// addresses are rewritten, then one verdict per address handed to the sinks.
// An address lands in exactly one sink; a rewrite that meets another address
// (or another rewrite) is a duplicate: the first in list order stays.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checks/address_checks.h"

namespace checks {

class AddressSource {
public:
    virtual ~AddressSource() = default;
    // Calls visit with every address (UTF-8), in list order; once per pass.
    virtual void forEach(const std::function<void(std::string_view)>& visit) = 0;
};

class CheckSinks {
public:
    virtual ~CheckSinks() = default;
    virtual void exported(std::string_view address) = 0;
    virtual void setAside(Destination destination, std::string_view address) = 0;
    // A rewrite (typo fix, Gmail alias): the address as it was, as it went on.
    virtual void corrected(std::string_view before, std::string_view after) = 0;
};

struct CheckCounts {
    std::int64_t badSyntax = 0;
    std::int64_t corrected = 0;   // addresses rewritten
    std::int64_t duplicates = 0;  // rewrites that met another address
    std::int64_t disposable = 0;
    std::int64_t role = 0;
    std::int64_t noMailDomain = 0;
    std::int64_t dnsUnchecked = 0;  // kept: their domain's answer did not come
    std::int64_t exported = 0;
    std::int64_t domainsLookedUp = 0;
    bool stopped = false;  // the run ended early on a stop request
};

// Asks DNS for the domains (ASCII form); statuses for each.
using DnsLookup = std::function<std::unordered_map<std::string, dns::MailDomainStatus>(const std::vector<std::string>&)>;

// The passes; stopRequested, asked now and then, ends the run early
// (counts.stopped; what was handed to the sinks is then incomplete).
CheckCounts runAddressChecks(AddressChecker& checker, AddressSource& source, CheckSinks& sinks,
                             const DnsLookup& lookUp, const std::function<bool()>& stopRequested = {});

}  // namespace checks
