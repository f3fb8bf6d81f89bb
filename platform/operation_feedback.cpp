#include "platform/operation_feedback.h"

#include "platform/code_page.h"

namespace platform {

std::string uncaughtFailureText(const std::string& gbkMessage) {
    if (gbkMessage.empty()) return gbkMessage;
    const char* const end = gbkMessage.data() + gbkMessage.size();
    const char* last = gbkMessage.data();
    for (const char* p = last; p < end; p += gbkCharLength(p, end)) last = p;
    if (static_cast<unsigned char>(*last) > static_cast<unsigned char>('.')) return gbkMessage + ".";
    return gbkMessage;
}

}  // namespace platform
