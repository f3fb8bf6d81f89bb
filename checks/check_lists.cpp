#include "checks/check_lists.h"

#include <unistd.h>

#include <array>
#include <fstream>
#include <iterator>
#include <optional>

#include "checks/address_parts.h"
#include "platform/file_system.h"

namespace checks {
namespace {

std::string_view trimBlanks(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\f\v";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return text;
}

void addFile(EntrySet& set, const std::string& path, bool required) {
    const auto text = readWholeFile(path);
    if (!text) {
        if (required || platform::fileExists(path)) throw ListError("找不到地址检查列表文件：" + path);
        return;
    }
    for (auto& entry : parseListText(*text)) set.add(std::move(entry));
}

void addLists(EntrySet& set, const std::string& programFolder, const std::string& userFolder,
              const char* name) {
    addFile(set, platform::joinPath(programFolder, name), true);
    if (!userFolder.empty()) addFile(set, platform::joinPath(userFolder, name), false);
}

}  // namespace

std::vector<std::string> parseListText(std::string_view text) {
    std::vector<std::string> entries;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (const auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        line = trimBlanks(line);
        if (line.empty()) continue;
        std::string entry(line);
        for (char& c : entry) c = asciiLower(c);
        entries.push_back(std::move(entry));
    }
    return entries;
}

CheckLists loadCheckLists(const std::string& programFolder, const std::string& userFolder) {
    CheckLists lists;
    addLists(lists.knownDomains, programFolder, userFolder, kKnownDomainsFile);
    addLists(lists.disposableDomains, programFolder, userFolder, kDisposableDomainsFile);
    addLists(lists.realProviders, programFolder, userFolder, kRealProvidersFile);
    addLists(lists.roleLocalParts, programFolder, userFolder, kRoleAddressesFile);
    addFile(lists.roleLocalParts, platform::joinPath(programFolder, kPinyinRolesFile), true);
    return lists;
}

std::string programListFolder() {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return {};
    std::string folder = platform::directoryOf(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
    // bin/ of an install, or a program's folder at most two levels deep in the build tree.
    for (int up = 0; up < 3 && folder.size() > 1; ++up) {
        folder = platform::directoryOf(folder);
        const std::string candidate = platform::joinPath(folder, "share/emailclean");
        if (platform::fileExists(platform::joinPath(candidate, kKnownDomainsFile))) return candidate;
    }
    return {};
}

bool isDisposableDomain(const CheckLists& lists, std::string_view domain) {
    for (;;) {
        if (lists.realProviders.contains(domain)) return false;
        if (lists.disposableDomains.contains(domain)) return true;
        const auto dot = domain.find('.');
        if (dot == std::string_view::npos) return false;
        domain.remove_prefix(dot + 1);
    }
}

bool isRoleLocalPart(const CheckLists& lists, std::string_view local) {
    if (local.size() > 64) return false;
    char folded[64];
    for (std::size_t i = 0; i < local.size(); ++i) folded[i] = asciiLower(local[i]);
    return lists.roleLocalParts.contains(std::string_view(folded, local.size()));
}

}  // namespace checks
