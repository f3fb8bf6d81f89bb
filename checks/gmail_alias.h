// Gmail's aliases: Gmail ignores dots in a local part and everything from a
// "+", and googlemail.com is gmail.com; so "Zhang.San+news@googlemail.com"
// reaches zhangsan@gmail.com.  Only these two domains: other providers treat
// dots and "+" each their own way.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace checks {

// The address Gmail delivers to, when it differs from the address as given
// (lower-case); nothing for other domains, for an address that is already
// in that form, and when no local part would remain ("+tag@gmail.com").
std::optional<std::string> mergedGmailAddress(std::string_view address);

}  // namespace checks
