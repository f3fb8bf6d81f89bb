// The parts of a DNS response that a mail-domain lookup needs, read from the
// raw message c-ares hands over: each answer record's type and time to live,
// the MX records, and the negative-answer time to live from the authority
// section's SOA (the smaller of its TTL and its MINIMUM field).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dns {

struct MxRecord {
    int preference = 0;
    std::string host;  // "" for the root (a null MX)
};

struct DnsResponse {
    int rcode = 0;
    std::vector<int> answerTypes;            // e.g. 15 MX, 1 A, 28 AAAA, 5 CNAME
    std::optional<std::uint32_t> answerTtl;  // the smallest TTL of the answer records
    std::vector<MxRecord> mx;
    std::optional<std::uint32_t> negativeTtl;  // from an SOA in the authority section
};

// nullopt when the message is cut short or malformed.
std::optional<DnsResponse> parseDnsResponse(const unsigned char* message, int length);

}  // namespace dns
