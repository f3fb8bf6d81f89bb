#include "cli_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/code_page.h"

namespace clitest {

namespace fs = std::filesystem;

CliProcess::CliProcess(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
                       const std::string& stdoutPath, const std::string& stderrPath)
    : capture_("emailclean-cli-run") {
    const std::string outPath = stdoutPath.empty() ? capture_ / "stdout" : stdoutPath;
    const std::string errPath = stderrPath.empty() ? capture_ / "stderr" : stderrPath;
    const std::string config = capture_.makeDir("config");

    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | (stdoutPath.empty() ? O_TRUNC : 0), 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | (stderrPath.empty() ? O_TRUNC : 0), 0644);
        if (out < 0 || err < 0) ::_exit(126);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        for (const auto& [name, value] : env) {
            if (value.empty()) ::unsetenv(name.c_str());
            else ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        std::string program = EMAILCLEAN_CLI_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
}

CliProcess::~CliProcess() {
    if (!ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
    }
}

bool CliProcess::running() {
    if (ended_) return false;
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
    return !ended_;
}

void CliProcess::signal(int signalNumber) {
    if (!ended_) ::kill(pid_, signalNumber);
}

CliRun CliProcess::wait() {
    if (!ended_) {
        ::waitpid(pid_, &status_, 0);
        ended_ = true;
    }
    CliRun run;
    run.exitCode = WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
    run.out = readBytes(capture_ / "stdout");
    run.err = readBytes(capture_ / "stderr");
    return run;
}

CliRun runCli(const std::vector<std::string>& args, const std::map<std::string, std::string>& env) {
    return CliProcess(args, env).wait();
}

std::string gbk(const std::string& utf8) { return platform::gbk(utf8); }

void writeGbkFile(const std::string& path, const std::string& utf8) { writeBytes(path, gbk(utf8)); }

bool exists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> crlfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    if (bytes.empty()) return lines;
    std::size_t start = 0;
    while (true) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            return lines;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n') + 1); }

std::vector<std::string> sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> quoted(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const auto& t : texts) out.push_back("\"" + t + "\"");
    return out;
}

}  // namespace clitest
