// The integer conversion of the option texts.
#pragma once

#include <cstdint>
#include <string>

namespace exporting {

// Optional leading blanks, an optional sign, then decimal digits, or
// hexadecimal ones after "$", "x" or "0x"; the value must fit a signed 32-bit
// integer.  Anything else throws UncaughtFailure with
// "'TEXT' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);

}  // namespace exporting
