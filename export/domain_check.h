// The domain check: every domain of the address column that has a finding (a
// likely typo with its suggestion, a disposable-mail domain, and with DNS a
// domain without a mail server or one that does not exist), with how many of
// the column's distinct valid addresses it holds, and the count of role
// addresses.  The same lists and rules as the export's address checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/address_check_settings.h"
#include "export/export_run.h"

namespace exporting {

enum class DomainFindingKind { Typo, Disposable, NoMailServer, NoSuchDomain };

struct DomainFinding {
    std::string domain;  // UTF-8
    std::uint64_t count = 0;
    DomainFindingKind kind = DomainFindingKind::Typo;
    std::string suggestion;  // for a typo; else ""
};

struct DomainCheckReport {
    std::vector<DomainFinding> findings;  // by count, largest first, then domain
    std::uint64_t roleAddresses = 0;
    std::uint64_t domainsChecked = 0;  // distinct domains of the valid addresses
    bool withDns = false;
};

// "疑似拼写错误", "一次性邮箱", "无邮件服务器", "域名不存在".
const char* findingText(DomainFindingKind kind);
// "typo", "disposable", "no-mail-server", "no-such-domain".
const char* findingWord(DomainFindingKind kind);

// Reads the distinct lower-cased valid addresses of the column through the
// shared result set (a progress step with cancel) and checks their domains,
// with DNS when withDns (settings.dns, the cache).  Shows its own failure
// message and returns nothing then; cancelled: platform::OperationCancelled.
std::optional<DomainCheckReport> CheckDomains(ExportRun& ctx, const std::string& column,
                                              const AddressCheckSettings& settings, bool withDns);

}  // namespace exporting
