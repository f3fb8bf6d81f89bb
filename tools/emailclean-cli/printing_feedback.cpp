#include "printing_feedback.h"

#include "platform/code_page.h"

namespace cli {

void PrintingFeedback::showMessage(const std::string& text) { messages_.push_back(text); }

void PrintingFeedback::showFailure(const std::string& text) {
    messages_.push_back(platform::uncaughtFailureText(text));
}

void PrintingFeedback::showCompletion(const std::string& text, const std::string& summary) {
    messages_.push_back(text);
    if (!summary.empty()) messages_.push_back(summary);
}

void PrintingFeedback::showProgress(const std::string& stepText, double fraction) {
    if (!progressLine_) return;
    const auto now = std::chrono::steady_clock::now();
    // A few times a second is enough for the eye; a new step shows at once.
    if (stepText == lastText_ && now - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = now;
    lastText_ = stepText;
    const long seconds = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(now - started_).count());
    // A long step (a domain group's name) is cut so that the line does not wrap.
    std::string step = stepText;
    std::size_t cut = 0, characters = 0;
    while (cut < step.size() && characters < 48) {
        const auto lead = static_cast<unsigned char>(step[cut]);
        cut += lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        ++characters;
    }
    if (cut < step.size()) step = step.substr(0, cut) + "...";
    std::fprintf(stderr, "\r%s %3d%%  %ld:%02ld\033[K", step.c_str(), static_cast<int>(fraction * 100), seconds / 60,
                 seconds % 60);
    std::fflush(stderr);
    lineShown_ = true;
}

void PrintingFeedback::endProgressLine() {
    if (!lineShown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    lineShown_ = false;
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
