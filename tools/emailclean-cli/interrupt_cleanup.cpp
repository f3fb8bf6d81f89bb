#include "interrupt_cleanup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace cli {

namespace {

// Everything the handler needs is prepared beforehand: it may only make
// async-signal-safe calls (the request is a lock-free atomic store).
std::string g_path;
std::string g_content;
// What the description file was: none (remove it), a file (write its content
// back), or something else, such as a folder of that name (leave it).
enum class Before { None, File, Other };
Before g_before = Before::None;
std::atomic<platform::CancelRequest*> g_cancel{nullptr};
volatile std::sig_atomic_t g_signal = 0;

void restoreDescriptionFile() {
    if (g_before == Before::File) {
        const int fd = ::open(g_path.c_str(), O_WRONLY | O_TRUNC);
        if (fd >= 0) {
            const char* p = g_content.data();
            std::size_t left = g_content.size();
            while (left > 0) {
                const ssize_t n = ::write(fd, p, left);
                if (n <= 0) break;
                p += n;
                left -= static_cast<std::size_t>(n);
            }
            ::close(fd);
        }
    } else if (g_before == Before::None) {
        ::unlink(g_path.c_str());
    }
}

extern "C" void onSignal(int signalNumber) {
    const bool stoppable = signalNumber == SIGINT || signalNumber == SIGTERM;
    platform::CancelRequest* cancel = g_cancel.load();
    if (stoppable && g_signal == 0 && cancel != nullptr) {
        g_signal = signalNumber;
        cancel->request();
        return;
    }
    restoreDescriptionFile();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

}  // namespace

void restoreOnInterrupt(const std::string& path, platform::CancelRequest& cancel) {
    g_path = path;
    g_content.clear();
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        g_before = Before::None;
    } else if (!S_ISREG(status.st_mode)) {
        g_before = Before::Other;  // the binding's own write says what is wrong with it
    } else {
        std::ifstream file(path, std::ios::binary);
        g_content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        g_before = file.bad() ? Before::Other : Before::File;
    }
    g_cancel = &cancel;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
    for (const int signalNumber : signals) sigaddset(&action.sa_mask, signalNumber);
    for (const int signalNumber : signals) ::sigaction(signalNumber, &action, nullptr);
}

void stopCancellingOnInterrupt() { g_cancel = nullptr; }

int interruptSignal() { return g_signal; }

void endWithSignal(int signalNumber) {
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
    std::_Exit(128 + signalNumber);  // the signal was blocked or ignored
}

}  // namespace cli
