// What DNS says of a mail domain.  A domain has no mail server when it does
// not exist (NXDOMAIN), when it says so with a null MX (one MX of preference
// 0 and host "."), or when it has neither MX nor A nor AAAA records (an A or
// AAAA record alone makes it deliverable).  A domain whose answer did not
// come (timeout, SERVFAIL, refused, no network) is unanswered: never taken
// for one without mail.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dns {

enum class MailDomainStatus {
    Receives,       // MX records, or A/AAAA records without MX
    NoSuchDomain,   // NXDOMAIN
    NullMx,         // the domain refuses mail
    NoMailRecords,  // it exists, but neither MX nor A nor AAAA
    Unanswered,     // no usable answer
};

inline bool hasNoMailServer(MailDomainStatus status) {
    return status == MailDomainStatus::NoSuchDomain || status == MailDomainStatus::NullMx ||
           status == MailDomainStatus::NoMailRecords;
}

// An answer with how long it may be kept (seconds; 0: not at all).
struct MailDomainAnswer {
    MailDomainStatus status = MailDomainStatus::Unanswered;
    std::uint32_t ttl = 0;
};

// The status as one word, for the cache file and messages ("receives",
// "no-such-domain", "null-mx", "no-mail-records", "unanswered"), and back.
std::string_view statusWord(MailDomainStatus status);
std::optional<MailDomainStatus> statusFromWord(std::string_view word);

}  // namespace dns
