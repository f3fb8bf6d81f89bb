// The answers of earlier lookups, kept in the user's cache folder for as long
// as their time to live allows, so that checking the same list again asks
// the network only for what has expired.  One file, rewritten whole under a
// temporary name and renamed; lines "SERVERS<TAB>DOMAIN<TAB>STATUS<TAB>EXPIRY"
// (expiry in seconds since 1970), answers of different servers apart.
// Unanswered lookups are never kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "dns/mail_domain_status.h"

namespace dns {

// $XDG_CACHE_HOME/emailclean/dns-cache.txt, $XDG_CACHE_HOME defaulting to ~/.cache.
std::string defaultDnsCachePath();

// Answers are kept at most a day, whatever their TTL says.
inline constexpr std::uint32_t kMaxCacheSeconds = 24 * 60 * 60;

class DnsCache {
public:
    // servers: the DnsSettings::servers text the answers belong to.
    explicit DnsCache(std::string servers) : servers_(std::move(servers)) {}

    // Reads the file; a missing, unreadable or damaged file (or line) is an
    // empty cache (or is skipped).  Entries expired at now are dropped.
    void load(const std::string& path, std::int64_t now);
    // Writes every live entry of every server (the other servers' as read);
    // false when the file could not be written (the cache is only a help).
    bool save(const std::string& path, std::int64_t now) const;

    // The status kept for the domain, when it has not expired at now.
    std::optional<MailDomainStatus> find(std::string_view domain, std::int64_t now) const;
    // Keeps an answer for its TTL (at most a day); unanswered ones and a TTL of 0 are not kept.
    void store(const std::string& domain, const MailDomainAnswer& answer, std::int64_t now);

    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        MailDomainStatus status;
        std::int64_t expiry;
    };
    std::string servers_;
    std::unordered_map<std::string, Entry> entries_;                      // this server's
    std::unordered_map<std::string, std::string> otherServersLines_;     // line by key, kept as read
};

std::int64_t secondsNow();

}  // namespace dns
