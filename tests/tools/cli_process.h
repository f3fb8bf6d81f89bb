// Running the built emailclean-cli as a process, and the small file helpers
// the end-to-end tests share: a temporary folder, GBK files written from
// UTF-8 literals, whole-file reads.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace clitest {

// The temporary folder and the whole-file helpers of every test folder.
using testsupport::listNames;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

struct CliRun {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// The program running in the background, its output going to files.
class CliProcess {
public:
    // stdoutPath, stderrPath, when given, receive standard output and
    // standard error instead of the capture files (a terminal, say).
    CliProcess(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
               const std::string& stdoutPath = {}, const std::string& stderrPath = {});
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;
    // True while the process has not ended.
    bool running();
    void signal(int signalNumber);
    // Waits for the end; a process ended by a signal gives 128 + the signal.
    CliRun wait();

private:
    TempDir capture_;  // standard error, standard output unless redirected, XDG_CONFIG_HOME
    int pid_ = -1;
    bool ended_ = false;
    int status_ = 0;
};

// Runs the program with args; env entries are set in the child (an empty
// value unsets the variable).  XDG_CONFIG_HOME always points into a folder
// of the test unless env names it, so no test reads a real user's settings.
CliRun runCli(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {});

// UTF-8 text to GBK bytes (the tests' fixtures are written in UTF-8).
std::string gbk(const std::string& utf8);

// Writes the UTF-8 text converted to GBK.
void writeGbkFile(const std::string& path, const std::string& utf8);
bool exists(const std::string& path);

// The lines of a file in the CSV writer's format (CRLF between lines).
std::vector<std::string> crlfLines(const std::string& bytes);
// The text up to and including its first line end.
std::string firstLine(const std::string& text);
// Sorted copy.
std::vector<std::string> sorted(std::vector<std::string> lines);
// Each text in double quotes, as the writer writes a one-column row.
std::vector<std::string> quoted(const std::vector<std::string>& texts);

}  // namespace clitest
