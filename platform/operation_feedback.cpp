#include "platform/operation_feedback.h"

#include "platform/code_page.h"

namespace platform {

std::string uncaughtFailureText(const std::string& message) {
    if (message.empty()) return message;
    const char* const end = message.data() + message.size();
    const char* last = message.data();
    for (const char* p = last; p < end; p += utf8CharLength(p, end)) last = p;
    if (static_cast<unsigned char>(*last) > static_cast<unsigned char>('.')) return message + ".";
    return message;
}

}  // namespace platform
