#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

ChildRun runChild(const std::vector<std::string>& argv, const std::optional<std::string>& stdoutPath)
{
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int fds[2] = {-1, -1};
    int outFd = -1;
    if (stdoutPath) {
        outFd = ::open(stdoutPath->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (outFd < 0)
            fail("cannot open " + *stdoutPath);
    } else if (::pipe2(fds, O_CLOEXEC) != 0) {
        fail("pipe");
    }

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        fail("fork");
    if (pid == 0) {
        // dup2 clears close-on-exec on the new descriptor.
        ::dup2(stdoutPath ? outFd : fds[1], STDOUT_FILENO);
        ::execv(args[0], args.data());
        std::fprintf(stderr, "cannot run %s: %s\n", args[0], std::strerror(errno));
        ::_exit(127);
    }

    ChildRun run;
    if (stdoutPath) {
        ::close(outFd);
    } else {
        ::close(fds[1]);
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(fds[0], buf, sizeof buf);
            if (n > 0)
                run.output.append(buf, static_cast<std::size_t>(n));
            else if (n == 0 || errno != EINTR)
                break;
        }
        ::close(fds[0]);
    }

    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            fail("wait4");
    }
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.maxRssKb = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

}  // namespace bench
