// emailclean-cli: the window's work without a window, for batch runs and
// servers.  Binds the source file as the window does, runs one action, prints
// the window's messages and leaves the same files.
//
// Exit status: 0 success, 1 the operation failed, 2 usage error.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli_actions.h"
#include "cli_options.h"
#include "cli_session.h"
#include "gbk_arguments.h"
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

bool runAction(const cli::CliOptions& options, const cli::GbkArguments& args, cli::PrintingFeedback& feedback) {
    cli::Session session(feedback);
    try {
        if (!session.open(args.sourcePath, options.header, options.delimiterIndex)) return false;
        const auto column = cli::addressColumn(session, args.column, feedback);
        if (!column) return false;
        switch (options.action) {
            case cli::Action::Count:
                return cli::runCount(session, *column, feedback);
            case cli::Action::Preview: {
                auto input = args.dataPreview;
                input.column = *column;
                return cli::runDataPreview(session, input, feedback);
            }
            case cli::Action::Domains:
                return cli::runDomainPreview(session, *column, options.domainsTop, feedback);
            case cli::Action::ExportAll:
                return cli::runExportAll(session, args, *column, feedback);
            case cli::Action::ExportDomain:
                return cli::runExportDomain(session, args, *column, feedback);
        }
        return false;
    } catch (const std::exception& uncaught) {
        // What reaches the window's message loop: a number that does not
        // convert, a file failure while splitting, a description file that
        // cannot be written.
        feedback.showUncaughtFailure(uncaught.what());
        return false;
    }
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

    cli::GbkArguments args;
    try {
        args = cli::convertArguments(parsed.options);
    } catch (const cli::ArgumentError& error) {
        return error.usage() ? usageError(error.what()) : failure(error.what());
    }

    cli::PrintingFeedback feedback;
    bool ok = cli::inputChecksPass(parsed.options.action, args, feedback);
    if (ok) ok = runAction(parsed.options, args, feedback);
    feedback.print(ok);
    // Rows or messages printed into a full disk or a closed pipe are a failure too.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const std::string cause = errno != 0 ? std::strerror(errno) : "write error";
        return failure("cannot write to standard output: " + cause);
    }
    return ok ? kSuccess : kFailure;
}
