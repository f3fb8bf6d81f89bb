#include "printing_feedback.h"

#include "platform/code_page.h"

namespace cli {

void PrintingFeedback::showMessage(const std::string& text) { messages_.push_back(text); }

void PrintingFeedback::showFailure(const std::string& text) {
    messages_.push_back(platform::uncaughtFailureText(text));
}

void PrintingFeedback::print(bool success) const { printTo(success ? stdout : stderr); }

void PrintingFeedback::printTo(std::FILE* stream) const {
    for (const auto& message : messages_) {
        const std::string text = platform::utf8Lossy(message) + "\n";
        std::fwrite(text.data(), 1, text.size(), stream);
    }
    std::fflush(stream);
}

}  // namespace cli
