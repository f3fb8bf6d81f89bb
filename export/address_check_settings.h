// What the opt-in address checks of an export are asked to do, and where
// they find their lists, DNS servers and cache.
#pragma once

#include <string>

#include "checks/address_checks.h"
#include "dns/mail_domain_resolver.h"

namespace exporting {

struct AddressCheckSettings {
    checks::CheckOptions options;  // all off: the step does not run
    dns::DnsSettings dns;
    // "" for the defaults: the program's lists beside it, the user's own
    // lists in the settings folder, the DNS cache in the user's cache folder.
    std::string programLists;
    std::string userLists;
    std::string dnsCache;
};

}  // namespace exporting
