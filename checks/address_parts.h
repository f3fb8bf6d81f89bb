// An address split into its local part and its domain, at the last "@" (the
// domain follows the last "@" of an unquoted address).
#pragma once

#include <optional>
#include <string_view>

namespace checks {

struct AddressParts {
    std::string_view local;
    std::string_view domain;
};

inline std::optional<AddressParts> splitAddress(std::string_view address) {
    const auto at = address.rfind('@');
    if (at == std::string_view::npos) return std::nullopt;
    return AddressParts{address.substr(0, at), address.substr(at + 1)};
}

// ASCII letters folded to lower case; other bytes (UTF-8 included) unchanged.
inline char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace checks
