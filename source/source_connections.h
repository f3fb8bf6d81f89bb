// Reopening the two engine connections on the bound file's directory.
#pragma once

#include "engine/engine.h"
#include "platform/operation_feedback.h"
#include "source/source_binding.h"

namespace source {

// Writes the two keys of the description file (header first, then format),
// then closes and reopens the preview connection and then the csv connection.
// True when both are open.  A connection that cannot be opened has its
// message shown through feedback and gives false; a description file that
// cannot be written throws platform::IniWriteError to the caller.
bool OpenSourceConnections(SourceBinding& binding, bool header, int delimiterIndex,
                           engine::Connection& preview, engine::Connection& csv,
                           platform::OperationFeedback& feedback);

}  // namespace source
