// Times the mail-domain check of many distinct domains against one DNS
// server: a cold run (empty cache: every domain looked up) and a warm one
// (every answer from the cache), --repeat times each; prints the best and
// median seconds and what the answers were.
//   dns-bench --server HOST:PORT --domains FILE [--cache FILE] [--repeat N] [--timeout MS] [--in-flight N]
// dns_bench.sh starts a dnsmasq with 20,000 domains on 127.0.0.1 and runs it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "dns/mail_domain_check.h"

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int usage() {
    std::fprintf(stderr,
                 "usage: dns-bench --server HOST:PORT --domains FILE [--cache FILE] [--repeat N] [--timeout MS]\n"
                 "                 [--in-flight N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string server, domainsFile, cache = "dns-bench-cache.txt";
    int repeat = 5, timeoutMs = 3000;
    std::size_t inFlight = dns::DnsSettings{}.domainsInFlight;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--server") server = value;
        else if (key == "--domains") domainsFile = value;
        else if (key == "--cache") cache = value;
        else if (key == "--repeat") repeat = std::max(1, std::atoi(value.c_str()));
        else if (key == "--timeout") timeoutMs = std::atoi(value.c_str());
        else if (key == "--in-flight") inFlight = static_cast<std::size_t>(std::max(1, std::atoi(value.c_str())));
        else return usage();
    }
    if (server.empty() || domainsFile.empty() || argc % 2 == 0) return usage();
    std::vector<std::string> domains;
    std::ifstream in(domainsFile);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) domains.push_back(line);

    const dns::DnsSettings settings{server, timeoutMs, inFlight};
    std::vector<double> cold, warm;
    std::map<std::string, std::size_t> outcome;
    for (int run = 0; run < repeat; ++run) {
        std::filesystem::remove(cache);
        auto started = std::chrono::steady_clock::now();
        const auto first = dns::checkMailDomains(domains, settings, cache);
        cold.push_back(seconds(started));
        started = std::chrono::steady_clock::now();
        const auto second = dns::checkMailDomains(domains, settings, cache);
        warm.push_back(seconds(started));
        if (second.lookedUp != 0)
            std::fprintf(stderr, "warm run looked %zu domains up (answers with TTL 0?)\n", second.lookedUp);
        outcome.clear();
        for (const auto& [domain, status] : first.statuses) ++outcome[std::string(dns::statusWord(status))];
    }
    std::filesystem::remove(cache);
    std::printf("%zu distinct domains against %s, %zu in flight, %d runs\n", domains.size(), server.c_str(),
                inFlight, repeat);
    for (const auto& [word, count] : outcome) std::printf("  %-16s %zu\n", word.c_str(), count);
    std::printf("cold (every domain looked up): best %.3f s, median %.3f s\n",
                *std::min_element(cold.begin(), cold.end()), median(cold));
    std::printf("warm (every answer from the cache): best %.3f s, median %.3f s\n",
                *std::min_element(warm.begin(), warm.end()), median(warm));
    return 0;
}
