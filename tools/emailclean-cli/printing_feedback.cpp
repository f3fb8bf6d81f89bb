#include "printing_feedback.h"

#include "platform/code_page.h"

namespace cli {

void PrintingFeedback::showMessage(const std::string& gbkText) { messages_.push_back(gbkText); }

void PrintingFeedback::showFailure(const std::string& gbkText) {
    messages_.push_back(platform::uncaughtFailureText(gbkText));
}

void PrintingFeedback::print(bool success) const { printTo(success ? stdout : stderr); }

void PrintingFeedback::printTo(std::FILE* stream) const {
    for (const auto& message : messages_) {
        const std::string text = platform::gbkToUtf8(message) + "\n";
        std::fwrite(text.data(), 1, text.size(), stream);
    }
    std::fflush(stream);
}

}  // namespace cli
