// emailclean-cli: the window's work without a window, for batch runs and
// servers.  Binds the source file as the window does, runs one action, prints
// the window's messages and leaves the same files.
//
// Exit status: 0 success, 1 the operation failed (also a domain export that
// could not write every group file), 2 usage error; a run that SIGINT or
// SIGTERM stopped ends with that signal (130 or 143 in a shell).

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli_actions.h"
#include "cli_options.h"
#include "core/workspace.h"
#include "core_arguments.h"
#include "interrupt_cleanup.h"
#include "printing_feedback.h"
#include "usage_text.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

int usageError(const std::string& message) {
    std::fprintf(stderr, "emailclean-cli: %s\n%sRun emailclean-cli --help for the options.\n", message.c_str(),
                 cli::kSynopsis);
    return kUsage;
}

int failure(const std::string& utf8Message) {
    std::fprintf(stderr, "emailclean-cli: %s\n", utf8Message.c_str());
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const cli::ParseResult parsed = cli::parseArguments(arguments);
    if (parsed.kind == cli::ParseResult::Kind::Help) {
        std::fputs(cli::kSynopsis, stdout);
        std::fputs(cli::kDetails, stdout);
        return kSuccess;
    }
    if (parsed.kind == cli::ParseResult::Kind::UsageError) return usageError(parsed.error);

    cli::CoreArguments args;
    try {
        args = cli::convertArguments(parsed.options);
    } catch (const cli::ArgumentError& error) {
        return error.usage() ? usageError(error.what()) : failure(error.what());
    }

    cli::PrintingFeedback feedback;
    if (!parsed.options.quiet && ::isatty(STDERR_FILENO)) feedback.enableProgressLine();
    bool ok = cli::inputChecksPass(parsed.options.action, args, feedback);
    if (ok) {
        core::Workspace workspace(feedback);
        ok = cli::runAction(parsed.options, args, workspace, feedback);
        cli::stopCancellingOnInterrupt();  // the request goes with the workspace
    }
    feedback.endProgressLine();
    const int signalNumber = cli::interruptSignal();
    feedback.print(ok && signalNumber == 0);
    if (signalNumber != 0) cli::endWithSignal(signalNumber);  // the workspace has put the description file back
    // Rows or messages printed into a full disk or a closed pipe are a failure too.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const std::string cause = errno != 0 ? std::strerror(errno) : "write error";
        return failure("cannot write to standard output: " + cause);
    }
    return ok ? kSuccess : kFailure;
}
