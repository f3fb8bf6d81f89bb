// The five actions of the command line, each what the window's button does,
// run by the operations core over the bound source.  Each returns whether the
// operation succeeded; the messages it showed are in the feedback.
#pragma once

#include <optional>
#include <string>

#include "cli_options.h"
#include "core/workspace.h"
#include "core_arguments.h"
#include "printing_feedback.h"

namespace cli {

// The input checks of the window's fields for the action (the cleaning and
// split options of the exports, the field of the chosen data preview), before
// anything is touched.  False when one fails; its message has been shown.
bool inputChecksPass(Action action, const CoreArguments& args, PrintingFeedback& feedback);

// The address column among the columns the binding offers: the one named
// (matched as the engine matches names, without regard to the case of A-Z),
// or the first one.  Nothing when there is none to take; the message has been
// shown.
std::optional<std::string> addressColumn(const std::vector<std::string>& columns,
                                         const std::optional<std::string>& wanted, PrintingFeedback& feedback);

// Binds the source, runs the action over the chosen column and prints its rows.
bool runAction(const CliOptions& options, const CoreArguments& args, core::Workspace& workspace,
               PrintingFeedback& feedback);

}  // namespace cli
