#include "dns/mail_domain_resolver.h"

#include <ares.h>
#include <arpa/nameser.h>
#include <poll.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>

#include "dns/dns_message.h"

namespace dns {
namespace {

constexpr int kTypeA = 1;
constexpr int kTypeMx = 15;
constexpr int kTypeAaaa = 28;
// Negative answers without an SOA to say how long they hold.
constexpr std::uint32_t kNegativeTtlWithoutSoa = 300;

void initialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { ares_library_init(ARES_LIB_INIT_ALL); });
}

struct Channel {
    ares_channel handle = nullptr;
    ~Channel() {
        if (handle) ares_destroy(handle);
    }
};

// One domain's way through its queries.
struct DomainLookup {
    const std::string* name = nullptr;
    struct Lookups* owner = nullptr;
    int addressQueriesLeft = 0;
    bool addressFound = false;
    bool addressUnanswered = false;
    std::uint32_t addressTtl = 0;
    std::uint32_t negativeTtl = kNegativeTtlWithoutSoa;
};

struct Lookups {
    ares_channel channel = nullptr;
    LookupOutcome* outcome = nullptr;
    std::size_t finished = 0;
    std::size_t active = 0;

    void finish(DomainLookup& lookup, MailDomainStatus status, std::uint32_t ttl) {
        outcome->answers[*lookup.name] = MailDomainAnswer{status, status == MailDomainStatus::Unanswered ? 0 : ttl};
        ++finished;
        --active;
    }
};

void query(DomainLookup& lookup, int type, ares_callback callback) {
    // ares_query is deprecated from c-ares 1.28 on, in favour of the record API.
#if ARES_VERSION >= 0x011c00
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    ares_query(lookup.owner->channel, lookup.name->c_str(), ns_c_in, type, callback, &lookup);
#if ARES_VERSION >= 0x011c00
#pragma GCC diagnostic pop
#endif
}

std::uint32_t negativeTtlOf(const unsigned char* abuf, int alen) {
    const auto response = parseDnsResponse(abuf, alen);
    return response && response->negativeTtl ? *response->negativeTtl : kNegativeTtlWithoutSoa;
}

void onAddress(void* arg, int status, int /*timeouts*/, unsigned char* abuf, int alen) {
    auto& lookup = *static_cast<DomainLookup*>(arg);
    if (status == ARES_SUCCESS) {
        const auto response = parseDnsResponse(abuf, alen);
        const bool hasAddress =
            response && std::any_of(response->answerTypes.begin(), response->answerTypes.end(),
                                    [](int type) { return type == kTypeA || type == kTypeAaaa; });
        if (hasAddress) {
            lookup.addressTtl = lookup.addressFound ? std::min(lookup.addressTtl, response->answerTtl.value_or(0))
                                                    : response->answerTtl.value_or(0);
            lookup.addressFound = true;
        } else if (!response) {
            lookup.addressUnanswered = true;
        }
        // A CNAME without an address at its end: no address.
    } else if (status == ARES_ENODATA || status == ARES_ENOTFOUND) {
        lookup.negativeTtl = std::min(lookup.negativeTtl, negativeTtlOf(abuf, alen));
    } else {
        lookup.addressUnanswered = true;  // timeout, SERVFAIL, refused, cancelled
    }
    if (--lookup.addressQueriesLeft > 0) return;
    if (lookup.addressFound)
        lookup.owner->finish(lookup, MailDomainStatus::Receives, lookup.addressTtl);
    else if (lookup.addressUnanswered)
        lookup.owner->finish(lookup, MailDomainStatus::Unanswered, 0);
    else
        lookup.owner->finish(lookup, MailDomainStatus::NoMailRecords, lookup.negativeTtl);
}

void askAddresses(DomainLookup& lookup) {
    lookup.addressQueriesLeft = 2;
    query(lookup, kTypeA, onAddress);
    query(lookup, kTypeAaaa, onAddress);
}

void onMx(void* arg, int status, int /*timeouts*/, unsigned char* abuf, int alen) {
    auto& lookup = *static_cast<DomainLookup*>(arg);
    switch (status) {
        case ARES_SUCCESS: {
            const auto response = parseDnsResponse(abuf, alen);
            if (!response) {
                lookup.owner->finish(lookup, MailDomainStatus::Unanswered, 0);
                return;
            }
            if (response->mx.empty()) {  // a CNAME alone: ask where it leads
                askAddresses(lookup);
                return;
            }
            const bool nullMx = response->mx.size() == 1 && response->mx.front().preference == 0 &&
                                response->mx.front().host.empty();
            lookup.owner->finish(lookup, nullMx ? MailDomainStatus::NullMx : MailDomainStatus::Receives,
                                 response->answerTtl.value_or(0));
            return;
        }
        case ARES_ENODATA:
            lookup.negativeTtl = negativeTtlOf(abuf, alen);
            askAddresses(lookup);
            return;
        case ARES_ENOTFOUND:
            lookup.owner->finish(lookup, MailDomainStatus::NoSuchDomain, negativeTtlOf(abuf, alen));
            return;
        default:
            lookup.owner->finish(lookup, MailDomainStatus::Unanswered, 0);
            return;
    }
}

void openChannel(Channel& channel, const DnsSettings& settings) {
    initialiseLibrary();
    ares_options options{};
    // Two tries per server; c-ares doubles the wait for the second, so the
    // first waits a third of the whole.
    options.timeout = std::max(1, settings.timeoutMs / 3);
    options.tries = 2;
    options.flags = ARES_FLAG_NOSEARCH | ARES_FLAG_NOALIASES;
    const int mask = ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_FLAGS;
    if (ares_init_options(&channel.handle, &options, mask) != ARES_SUCCESS)
        throw DnsError("无法初始化DNS查询");
    if (!settings.servers.empty() &&
        ares_set_servers_ports_csv(channel.handle, settings.servers.c_str()) != ARES_SUCCESS)
        throw DnsError("DNS服务器地址无效：" + settings.servers);
}

// Hands c-ares its sockets' events (or a timeout) once; waits at most waitMs.
void processOnce(ares_channel channel, int waitMs) {
    std::array<ares_socket_t, ARES_GETSOCK_MAXNUM> sockets{};
    const int bits = ares_getsock(channel, sockets.data(), ARES_GETSOCK_MAXNUM);
    std::array<pollfd, ARES_GETSOCK_MAXNUM> fds{};
    nfds_t count = 0;
    for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
        short events = 0;
        if (ARES_GETSOCK_READABLE(bits, i)) events |= POLLIN;
        if (ARES_GETSOCK_WRITABLE(bits, i)) events |= POLLOUT;
        if (events == 0) continue;
        fds[count++] = pollfd{sockets[i], events, 0};
    }
    timeval limit{waitMs / 1000, (waitMs % 1000) * 1000};
    timeval wait{};
    const timeval* next = ares_timeout(channel, &limit, &wait);
    const int timeoutMs = static_cast<int>(next->tv_sec * 1000 + (next->tv_usec + 999) / 1000);
    const int ready = ::poll(fds.data(), count, timeoutMs);
    if (ready <= 0) {
        ares_process_fd(channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);  // timeouts
        return;
    }
    for (nfds_t i = 0; i < count; ++i) {
        const short got = fds[i].revents;
        if (got == 0) continue;
        const ares_socket_t readable = (got & (POLLIN | POLLERR | POLLHUP)) ? fds[i].fd : ARES_SOCKET_BAD;
        const ares_socket_t writable = (got & POLLOUT) ? fds[i].fd : ARES_SOCKET_BAD;
        ares_process_fd(channel, readable, writable);
    }
}

}  // namespace

LookupOutcome lookUpMailDomains(const std::vector<std::string>& domains, const DnsSettings& settings,
                                const LookupControl& control) {
    LookupOutcome outcome;
    outcome.answers.reserve(domains.size());

    // Each distinct domain once.
    std::vector<const std::string*> distinct;
    distinct.reserve(domains.size());
    {
        std::unordered_map<std::string_view, bool> seen;
        for (const auto& domain : domains)
            if (seen.emplace(domain, true).second) distinct.push_back(&domain);
    }
    std::vector<DomainLookup> state(distinct.size());
    Lookups lookups;
    lookups.outcome = &outcome;
    // After the lookups' state: destroying the channel ends what is left
    // through their callbacks.
    Channel channel;
    openChannel(channel, settings);
    lookups.channel = channel.handle;


    using Clock = std::chrono::steady_clock;
    auto lastReport = Clock::now();
    std::size_t next = 0;
    while (next < distinct.size() || lookups.active > 0) {
        if (control.stopRequested && control.stopRequested()) {
            outcome.stopped = true;
            ares_cancel(channel.handle);  // every query's callback runs now: unanswered
            break;
        }
        while (lookups.active < std::max<std::size_t>(1, settings.domainsInFlight) && next < distinct.size()) {
            DomainLookup& lookup = state[next];
            lookup.name = distinct[next];
            lookup.owner = &lookups;
            ++next;
            ++lookups.active;
            query(lookup, kTypeMx, onMx);
        }
        processOnce(channel.handle, 100);
        if (control.progress && Clock::now() - lastReport > std::chrono::milliseconds(100)) {
            control.progress(lookups.finished, distinct.size());
            lastReport = Clock::now();
        }
    }
    for (std::size_t i = next; i < distinct.size(); ++i)
        outcome.answers[*distinct[i]] = MailDomainAnswer{MailDomainStatus::Unanswered, 0};
    if (control.progress) control.progress(lookups.finished, distinct.size());
    return outcome;
}

}  // namespace dns
