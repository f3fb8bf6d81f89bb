// DNS servers on 127.0.0.1 for the tests, each on a free port, stopped with
// their object: a real dnsmasq (Debian's dnsmasq-base) serving the records a
// test names for the zone "test", and two that misbehave on purpose: one that
// never answers, and one that answers every query with one response code
// (SERVFAIL, REFUSED).
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

namespace testsupport {

// A UDP socket bound to 127.0.0.1 on a free port (or the given one).
inline int boundUdpSocket(int port = 0) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

inline int portOf(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// A port free for UDP and TCP on 127.0.0.1 at the moment of asking.
inline int freePort() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int udp = boundUdpSocket();
        const int port = portOf(udp);
        const int tcp = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        const bool tcpFree = ::bind(tcp, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(tcp);
        ::close(udp);
        if (tcpFree) return port;
    }
    throw std::runtime_error("no free port");
}

inline std::string dnsmasqProgram() {
    for (const char* path : {"/usr/sbin/dnsmasq", "/sbin/dnsmasq", "/usr/bin/dnsmasq"})
        if (::access(path, X_OK) == 0) return path;
    throw std::runtime_error("dnsmasq is not installed (Debian package dnsmasq-base; scripts/install-deps.sh)");
}

// dnsmasq answering for the zone "test" only: the records given as its
// options ("--mx-host=...", "--host-record=...", "--dns-rr=...", ...); every
// other name under "test" does not exist, and names outside it are refused.
// Queries are logged, so a test can count them.
class LocalDnsServer {
public:
    explicit LocalDnsServer(const std::vector<std::string>& records) : port_(freePort()) {
        std::vector<std::string> args{dnsmasqProgram(), "-k", "-C", "/dev/null", "--no-resolv", "--no-hosts",
                                      "--listen-address=127.0.0.1", "--bind-interfaces",
                                      "--port=" + std::to_string(port_), "--pid-file=", "--local=/test/",
                                      "--log-queries", "--log-facility=" + log(), "--local-ttl=600",
                                      "--cache-size=0"};
        if (::geteuid() == 0) args.push_back("--user=root");
        args.insert(args.end(), records.begin(), records.end());
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const std::string output = dir_.path() + "/dnsmasq.out";
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (out >= 0) {
                ::dup2(out, 1);
                ::dup2(out, 2);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        waitUntilListening();
    }
    ~LocalDnsServer() { stop(); }
    LocalDnsServer(const LocalDnsServer&) = delete;
    LocalDnsServer& operator=(const LocalDnsServer&) = delete;

    int port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string log() const { return dir_.path() + "/queries.log"; }

    // How many queries of the type ("MX", "A", "AAAA") for the name the server
    // saw (its log is complete once it has stopped).
    int queriesSeen(const std::string& type, const std::string& name) const {
        std::ifstream in(log());
        const std::string needle = "query[" + type + "] " + name + " from";
        int count = 0;
        for (std::string line; std::getline(in, line);)
            if (line.find(needle) != std::string::npos) ++count;
        return count;
    }

    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    void waitUntilListening() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                throw std::runtime_error("dnsmasq stopped at once: " + readBytes(dir_.path() + "/dnsmasq.out"));
            }
            const int probe = boundUdpSocket(port_);
            if (probe < 0) return;  // the port is taken: dnsmasq listens
            ::close(probe);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        stop();
        throw std::runtime_error("dnsmasq did not start listening");
    }

    TempDir dir_{"emailclean-dns"};
    int port_;
    pid_t pid_ = -1;
};

// A server that takes every query and never answers.
class SilentDnsServer {
public:
    SilentDnsServer() : fd_(boundUdpSocket()) {}
    ~SilentDnsServer() { ::close(fd_); }
    std::string address() const { return "127.0.0.1:" + std::to_string(portOf(fd_)); }

private:
    int fd_;
};

// A server that answers every query with the response code alone (2
// SERVFAIL, 5 REFUSED), echoing the question.
class FixedRcodeDnsServer {
public:
    explicit FixedRcodeDnsServer(int rcode) : fd_(boundUdpSocket()), rcode_(rcode) {
        timeval wait{0, 50 * 1000};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        thread_ = std::thread([this] { serve(); });
    }
    ~FixedRcodeDnsServer() {
        running_ = false;
        thread_.join();
        ::close(fd_);
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(portOf(fd_)); }

private:
    void serve() {
        unsigned char buffer[512];
        while (running_) {
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t got = ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (got < 12) continue;
            buffer[2] = static_cast<unsigned char>(0x80 | (buffer[2] & 0x79));  // a response, same opcode and RD
            buffer[3] = static_cast<unsigned char>(0x80 | rcode_);             // RA and the code
            ::sendto(fd_, buffer, static_cast<std::size_t>(got), 0, reinterpret_cast<sockaddr*>(&from), length);
        }
    }
    int fd_;
    int rcode_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace testsupport
