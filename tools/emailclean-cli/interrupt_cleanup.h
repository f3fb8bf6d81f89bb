// An interrupted run (Ctrl+C, a terminated batch job) stops as a cancelled
// one and must not leave the description file changed behind it.
//
// SIGINT and SIGTERM ask the running operation to stop: it ends at its next
// checkpoint, removing the file it was writing, the operations core puts the
// description file back as its shut-down does, and the program then ends
// with the signal (exit status 130 or 143).  A second such signal, SIGHUP
// and SIGPIPE (a closed pipe on standard output) end the program at once:
// the description file, noted as it stood before the source was bound, is
// put back (removed when it did not exist); a result file being written stays
// under its temporary name, which the next run in that folder removes.
#pragma once

#include <string>

#include "platform/cancel_request.h"

namespace cli {

// Notes the description file at path and installs
// the handlers; cancel is the request they set.  Call once, before the first
// write to the description file.
void restoreOnInterrupt(const std::string& path, platform::CancelRequest& cancel);

// The handlers no longer set the request (it is about to go); a signal from
// now on ends the program at once.
void stopCancellingOnInterrupt();

// The SIGINT or SIGTERM that asked the run to stop, or 0.
int interruptSignal();

// Ends the program with that signal, its default action restored.
[[noreturn]] void endWithSignal(int signalNumber);

}  // namespace cli
