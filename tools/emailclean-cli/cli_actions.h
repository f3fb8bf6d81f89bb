// The five actions of the command line, each what the window's button does,
// over a bound session.  Each returns whether the operation succeeded; the
// messages it showed are in the feedback.
#pragma once

#include <optional>
#include <string>

#include "cli_options.h"
#include "cli_session.h"
#include "gbk_arguments.h"
#include "printing_feedback.h"

namespace cli {

// The input checks of the window's fields for the action (the cleaning and
// split options of the exports, the field of the chosen data preview), before
// anything is touched.  False when one fails; its message has been shown.
bool inputChecksPass(Action action, const GbkArguments& args, PrintingFeedback& feedback);

// The address column: the one named (matched as the engine matches names,
// without regard to the case of A-Z), or the first one.  Nothing when there
// is none to take; the message has been shown.
std::optional<std::string> addressColumn(const Session& session, const std::optional<std::string>& wanted,
                                         PrintingFeedback& feedback);

// The record count of the opening: count([column]) over the source file.
bool runCount(Session& session, const std::string& column, PrintingFeedback& feedback);

// The data preview by condition; prints the rows.
bool runDataPreview(Session& session, preview::DataPreviewInput input, PrintingFeedback& feedback);

// The domain statistics preview for a top count (0: all); prints the rows.
bool runDomainPreview(Session& session, const std::string& column, int top, PrintingFeedback& feedback);

// The two export buttons.
bool runExportAll(Session& session, const GbkArguments& args, const std::string& column,
                  PrintingFeedback& feedback);
bool runExportDomain(Session& session, const GbkArguments& args, const std::string& column,
                     PrintingFeedback& feedback);

}  // namespace cli
