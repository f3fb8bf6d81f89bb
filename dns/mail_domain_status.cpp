#include "dns/mail_domain_status.h"

namespace dns {

std::string_view statusWord(MailDomainStatus status) {
    switch (status) {
        case MailDomainStatus::Receives: return "receives";
        case MailDomainStatus::NoSuchDomain: return "no-such-domain";
        case MailDomainStatus::NullMx: return "null-mx";
        case MailDomainStatus::NoMailRecords: return "no-mail-records";
        case MailDomainStatus::Unanswered: return "unanswered";
    }
    return "unanswered";
}

std::optional<MailDomainStatus> statusFromWord(std::string_view word) {
    for (const auto status : {MailDomainStatus::Receives, MailDomainStatus::NoSuchDomain, MailDomainStatus::NullMx,
                              MailDomainStatus::NoMailRecords, MailDomainStatus::Unanswered})
        if (statusWord(status) == word) return status;
    return std::nullopt;
}

}  // namespace dns
