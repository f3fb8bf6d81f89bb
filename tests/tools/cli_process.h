// Running the built emailclean-cli as a process, and the small file helpers
// the end-to-end tests share: a temporary folder, GBK files written from
// UTF-8 literals, whole-file reads.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace clitest {

struct CliRun {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// The program running in the background, its output going to files.
class CliProcess {
public:
    // stdoutPath, when given, receives standard output instead of the capture file.
    CliProcess(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
               const std::string& stdoutPath = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;
    // True while the process has not ended.
    bool running();
    void signal(int signalNumber);
    // Waits for the end; a process ended by a signal gives 128 + the signal.
    CliRun wait();

private:
    std::string capture_;
    int pid_ = -1;
    bool ended_ = false;
    int status_ = 0;
};

// Runs the program with args; env entries are set in the child (an empty
// value unsets the variable).  XDG_CONFIG_HOME always points into a folder
// of the test unless env names it, so no test reads a real user's settings.
CliRun runCli(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {});

// A fresh folder under $TMPDIR, removed with its content at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // A sub-folder, created.
    std::string makeDir(const std::string& name) const;

private:
    std::string path_;
};

// UTF-8 text to GBK bytes (the tests' fixtures are written in UTF-8).
std::string gbk(const std::string& utf8);

void writeFile(const std::string& path, const std::string& bytes);
// Writes the UTF-8 text converted to GBK.
void writeGbkFile(const std::string& path, const std::string& utf8);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
// File names of a folder, sorted.
std::vector<std::string> listDir(const std::string& dir);

// The lines of a file in the CSV writer's format (CRLF between lines).
std::vector<std::string> crlfLines(const std::string& bytes);
// Sorted copy.
std::vector<std::string> sorted(std::vector<std::string> lines);
// Each text in double quotes, as the writer writes a one-column row.
std::vector<std::string> quoted(const std::vector<std::string>& texts);

}  // namespace clitest
