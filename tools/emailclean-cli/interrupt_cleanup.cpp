#include "interrupt_cleanup.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

namespace cli {

namespace {

// Everything the handler needs is prepared beforehand: it may only make
// async-signal-safe calls.
std::string g_path;
std::string g_content;
bool g_existed = false;

extern "C" void restoreAndDie(int signalNumber) {
    if (g_existed) {
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
    } else {
        ::unlink(g_path.c_str());
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

}  // namespace

void restoreOnInterrupt(const std::string& path) {
    g_path = path;
    std::ifstream file(path, std::ios::binary);
    g_existed = static_cast<bool>(file);
    if (g_existed) g_content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    struct sigaction action {};
    action.sa_handler = restoreAndDie;
    sigemptyset(&action.sa_mask);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
    for (const int signalNumber : signals) sigaddset(&action.sa_mask, signalNumber);
    for (const int signalNumber : signals) ::sigaction(signalNumber, &action, nullptr);
}

}  // namespace cli
