// Reopening the two engine connections on the bound file's directory.
#pragma once

#include "engine/engine.h"
#include "platform/operation_feedback.h"
#include "source/source_binding.h"
#include "source/source_encoding.h"

namespace source {

// Writes the keys of the description file (header, format, then the
// character set), then closes and reopens the preview connection and then the
// csv connection.  Both take statements in UTF-8; a table with neither a
// description of its own nor a byte-order mark is read as GBK on the preview
// connection and in the result files' encoding on the csv connection (the
// tool's own files).  True
// when both are open.  A connection that cannot be opened has its message
// shown through feedback and gives false; a description file that cannot be
// written throws platform::IniWriteError to the caller.
bool OpenSourceConnections(SourceBinding& binding, bool header, int delimiterIndex, TextEncoding encoding,
                           engine::Connection& preview, engine::Connection& csv,
                           platform::OperationFeedback& feedback);

// Tells the connection the encoding of one of its tables (a description file
// section for it still decides).
void declareListEncoding(engine::Connection& connection, const std::string& fileName, TextEncoding encoding);

}  // namespace source
