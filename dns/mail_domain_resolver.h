// Mail-domain lookups over c-ares: MX first; a domain without MX records is
// asked for A and AAAA.  Many queries are in flight at once and every domain
// is looked up once.  Domains are given in their ASCII form.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "dns/mail_domain_status.h"

namespace dns {

struct DnsSettings {
    // "" for the system's resolvers (/etc/resolv.conf), else "HOST:PORT"
    // (several comma-separated; an IPv6 host in brackets: "[::1]:53").
    std::string servers;
    // How long a lookup waits for a server's answer, in milliseconds (two
    // tries, the second twice as long as the first).
    int timeoutMs = 3000;
    // At most this many domains are being looked up at any moment.
    std::size_t domainsInFlight = 128;
};

// A DNS set-up that cannot work (a server text c-ares refuses); what() is fit to show.
class DnsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LookupControl {
    // Called now and then with the domains answered so far (any thread: the caller's).
    std::function<void(std::size_t done, std::size_t total)> progress;
    // Asked now and then; true stops the lookups (the rest unanswered).
    std::function<bool()> stopRequested;
};

struct LookupOutcome {
    std::unordered_map<std::string, MailDomainAnswer> answers;  // one per domain asked
    bool stopped = false;
};

// Throws DnsError when the settings cannot be used.
LookupOutcome lookUpMailDomains(const std::vector<std::string>& domains, const DnsSettings& settings,
                                const LookupControl& control = {});

}  // namespace dns
