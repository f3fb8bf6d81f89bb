#include "dns/dns_cache.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <charconv>
#include <system_error>
#include <unistd.h>

#include "platform/file_system.h"

namespace dns {
namespace {

constexpr std::string_view kHeader = "# emailclean DNS answers 1";

// The server text as it stands in a line: "system" for the system's resolvers.
std::string serverKey(const std::string& servers) { return servers.empty() ? "system" : servers; }

}  // namespace

std::string defaultDnsCachePath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.cache";
    }
    return base + "/emailclean/dns-cache.txt";
}

std::int64_t secondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void DnsCache::load(const std::string& path, std::int64_t now) {
    entries_.clear();
    otherServersLines_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    const std::string key = serverKey(servers_);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        if (first) {
            first = false;
            if (line != kHeader) return;  // another format: start afresh
            continue;
        }
        // SERVERS \t DOMAIN \t STATUS \t EXPIRY
        const auto t1 = line.find('\t');
        const auto t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        const auto t3 = t2 == std::string::npos ? t2 : line.find('\t', t2 + 1);
        if (t3 == std::string::npos) continue;
        const std::string_view text(line);
        const auto status = statusFromWord(text.substr(t2 + 1, t3 - t2 - 1));
        std::int64_t expiry = 0;
        const auto expiryText = text.substr(t3 + 1);
        const auto [end, ec] = std::from_chars(expiryText.data(), expiryText.data() + expiryText.size(), expiry);
        if (!status || *status == MailDomainStatus::Unanswered || ec != std::errc() ||
            end != expiryText.data() + expiryText.size() || expiry <= now)
            continue;
        const std::string servers(text.substr(0, t1));
        std::string domain(text.substr(t1 + 1, t2 - t1 - 1));
        if (domain.empty()) continue;
        if (servers == key)
            entries_[std::move(domain)] = Entry{*status, expiry};
        else
            otherServersLines_[servers + "\t" + domain] = line;
    }
}

bool DnsCache::save(const std::string& path, std::int64_t now) const {
    std::error_code ignored;
    std::filesystem::create_directories(platform::directoryOf(path), ignored);
    const std::string temporary = path + "." + std::to_string(::getpid()) + ".partial";
    try {
        auto file = platform::FileSystem::current().createFile(temporary);
        std::string text(kHeader);
        text += '\n';
        const std::string key = serverKey(servers_);
        for (const auto& [domain, entry] : entries_) {
            if (entry.expiry <= now) continue;
            text += key;
            text += '\t';
            text += domain;
            text += '\t';
            text += statusWord(entry.status);
            text += '\t';
            text += std::to_string(entry.expiry);
            text += '\n';
            if (text.size() > (1u << 20)) {
                file->append(text);
                text.clear();
            }
        }
        for (const auto& [lineKey, line] : otherServersLines_) {
            text += line;
            text += '\n';
        }
        file->append(text);
        file->close();
        platform::FileSystem::current().renameFile(temporary, path);
        return true;
    } catch (const platform::FileError&) {
        platform::removeFile(temporary);
        return false;
    }
}

std::optional<MailDomainStatus> DnsCache::find(std::string_view domain, std::int64_t now) const {
    const auto found = entries_.find(std::string(domain));
    if (found == entries_.end() || found->second.expiry <= now) return std::nullopt;
    return found->second.status;
}

void DnsCache::store(const std::string& domain, const MailDomainAnswer& answer, std::int64_t now) {
    if (answer.status == MailDomainStatus::Unanswered || answer.ttl == 0) return;
    const std::uint32_t seconds = std::min(answer.ttl, kMaxCacheSeconds);
    entries_[domain] = Entry{answer.status, now + seconds};
}

}  // namespace dns
