#include "checks/check_run.h"

#include <unordered_set>

namespace checks {
namespace {

struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using TextSet = std::unordered_set<std::string, Hash, std::equal_to<>>;

// Thrown out of a pass when a stop is asked; caught below.
struct Stopped {};

}  // namespace

CheckCounts runAddressChecks(AddressChecker& checker, AddressSource& source, CheckSinks& sinks,
                             const DnsLookup& lookUp, const std::function<bool()>& stopRequested) {
    CheckCounts counts;
    std::size_t sinceAsked = 0;
    auto checkStop = [&] {
        if (stopRequested && ++sinceAsked >= 4096) {
            sinceAsked = 0;
            if (stopRequested()) throw Stopped{};
        }
    };
    try {
        const CheckOptions& options = checker.options();
        if (options.needsCensus())
            source.forEach([&](std::string_view address) {
                checkStop();
                checker.census(address);
            });
        if (options.dropNoMailDomain) {
            for (auto wanted = checker.domainsToLookUp(); !wanted.empty(); wanted = checker.domainsToLookUp()) {
                counts.domainsLookedUp += static_cast<std::int64_t>(wanted.size());
                checker.addDnsStatuses(lookUp(wanted));
                if (stopRequested && stopRequested()) throw Stopped{};
            }
        }
        // Where rewrites lead: each such address goes on once, first come.
        TextSet meetingPoints, taken;
        if (options.rewrites())
            source.forEach([&](std::string_view address) {
                checkStop();
                auto verdict = checker.check(address);
                if (!verdict.rewritten.empty()) meetingPoints.insert(std::move(verdict.rewritten));
            });
        source.forEach([&](std::string_view address) {
            checkStop();
            const AddressVerdict verdict = checker.check(address);
            const std::string_view final = verdict.rewritten.empty() ? address : std::string_view(verdict.rewritten);
            if (!verdict.rewritten.empty()) {
                ++counts.corrected;
                sinks.corrected(address, final);
            }
            if (verdict.destination != Destination::BadSyntax && meetingPoints.contains(final) &&
                !taken.insert(std::string(final)).second) {
                ++counts.duplicates;
                return;
            }
            switch (verdict.destination) {
                case Destination::Export:
                    ++counts.exported;
                    if (verdict.dnsUnanswered) ++counts.dnsUnchecked;
                    sinks.exported(final);
                    return;
                case Destination::BadSyntax: ++counts.badSyntax; break;
                case Destination::Disposable: ++counts.disposable; break;
                case Destination::Role: ++counts.role; break;
                case Destination::NoMailDomain: ++counts.noMailDomain; break;
            }
            sinks.setAside(verdict.destination, final);
        });
    } catch (const Stopped&) {
        counts.stopped = true;
    }
    return counts;
}

}  // namespace checks
