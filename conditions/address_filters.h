// The user-configurable conditions on the part before or after the "@":
// prefix length, prefix list and suffix list, each plain or negated (the
// negated form selects exactly the non-null addresses the plain one rejects).
// Texts are inserted unchecked; a malformed one makes the engine refuse the
// statement, and the caller reports that.
#pragma once

#include <string>

namespace conditions {

// InStr([column],'@')-1 <op> number; negated, ">" becomes "<=" and any other
// operator ">=".
std::string PrefixLengthCondition(const std::string& column, const std::string& op,
                                  const std::string& number, bool negate);

// The address begins with one of the comma-list items followed by "@" and has
// a "." after it.
std::string PrefixListCondition(const std::string& column, const std::string& list, bool negate);

// The address ends with "@" followed by exactly one of the comma-list items.
std::string SuffixListCondition(const std::string& column, const std::string& list, bool negate);

}  // namespace conditions
