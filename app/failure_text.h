// The text of the box for failures that no operation caught: the message
// with a full stop appended when its last character sorts after ".".
#pragma once

#include <string>

namespace app {

// gbkMessage and the result are GBK; the last character is judged by its
// first byte, so every double-byte character gets the full stop.
std::string uncaughtFailureText(const std::string& gbkMessage);

}  // namespace app
