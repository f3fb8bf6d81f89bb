#include "checks/gmail_alias.h"

#include "checks/address_parts.h"

namespace checks {

std::optional<std::string> mergedGmailAddress(std::string_view address) {
    const auto parts = splitAddress(address);
    if (!parts || (parts->domain != "gmail.com" && parts->domain != "googlemail.com")) return std::nullopt;
    std::string_view local = parts->local;
    if (const auto plus = local.find('+'); plus != std::string_view::npos) local = local.substr(0, plus);
    std::string merged;
    merged.reserve(address.size());
    for (const char c : local)
        if (c != '.') merged += c;
    if (merged.empty()) return std::nullopt;
    merged += "@gmail.com";
    if (merged == address) return std::nullopt;
    return merged;
}

}  // namespace checks
