// A DNS responder for dns-bench whose cost per query does not grow with the
// number of domains (dnsmasq looks MX records up in a list): it answers for
// names dNNNNN.bench.test by their number, on 127.0.0.1 only, and stops by
// itself after --seconds (default 600) or on SIGTERM.
//   bench-dns-server --port P [--seconds S]
// N % 20 == 0: the name does not exist; N % 20 == 1: an A record, no MX;
// otherwise MX 10 mx.bench.test.  Every answer has a TTL of 3600 s.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

volatile std::sig_atomic_t stopping = 0;

void put16(std::string& out, unsigned value) {
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xFF);
}
void put32(std::string& out, unsigned value) {
    put16(out, value >> 16);
    put16(out, value & 0xFFFF);
}

// The number of dNNNNN.bench.test in the question, or -1.
long numberOf(const unsigned char* q, std::size_t length) {
    if (length < 1 || q[0] != 6 || length < 7 || q[1] != 'd') return -1;
    long n = 0;
    for (int i = 2; i < 7; ++i) {
        if (q[i] < '0' || q[i] > '9') return -1;
        n = n * 10 + (q[i] - '0');
    }
    static const unsigned char rest[] = "\x05" "bench" "\x04" "test";
    if (length < 7 + sizeof rest || std::memcmp(q + 7, rest, sizeof rest) != 0) return -1;  // with the root's 0
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    int port = 0, limit = 600;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--port") == 0) port = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0) limit = std::atoi(argv[i + 1]);
    }
    if (port <= 0) {
        std::fprintf(stderr, "usage: bench-dns-server --port P [--seconds S]\n");
        return 2;
    }
    std::signal(SIGTERM, [](int) { stopping = 1; });
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    int size = 4 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("bind");
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limit);
    unsigned char query[512];
    std::string reply;
    while (!stopping && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) continue;
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = ::recvfrom(fd, query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 17) continue;
        // The question: a name from byte 12, then type and class.
        std::size_t end = 12;
        while (end < static_cast<std::size_t>(got) && query[end] != 0) end += query[end] + 1u;
        if (end + 5 > static_cast<std::size_t>(got)) continue;
        const unsigned type = (query[end + 1] << 8) | query[end + 2];
        const long n = numberOf(query + 12, end + 1 - 12);
        const std::size_t questionEnd = end + 5;

        reply.assign(reinterpret_cast<const char*>(query), 2);  // id
        int rcode = 0;
        std::string answer;
        if (n < 0 || n % 20 == 0) {
            rcode = 3;
        } else if (type == 15 && n % 20 != 1) {
            answer += "\xC0\x0C";
            put16(answer, 15);
            put16(answer, 1);
            put32(answer, 3600);
            const std::string host = std::string("\x02mx\x05") + "bench" + "\x04test" + std::string(1, '\0');
            put16(answer, static_cast<unsigned>(2 + host.size()));
            put16(answer, 10);
            answer += host;
        } else if (type == 1 && n % 20 == 1) {
            answer += "\xC0\x0C";
            put16(answer, 1);
            put16(answer, 1);
            put32(answer, 3600);
            put16(answer, 4);
            answer += std::string("\x7F\x00\x00\x03", 4);
        }
        put16(reply, 0x8400 | (query[2] & 0x01) << 8 | rcode);  // response, authoritative, RD echoed
        put16(reply, 1);
        put16(reply, answer.empty() ? 0 : 1);
        put16(reply, 0);
        put16(reply, 0);
        reply.append(reinterpret_cast<const char*>(query + 12), questionEnd - 12);
        reply += answer;
        ::sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
    }
    ::close(fd);
    return 0;
}
