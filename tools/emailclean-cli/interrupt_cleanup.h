// An interrupted run (Ctrl+C, a terminated batch job) must not leave the
// description file changed behind it, as the window's shut-down would not.
// Before the source is bound, the description file is noted as it stands;
// SIGINT, SIGTERM, SIGHUP and SIGPIPE (a closed pipe on standard output) put it back as it was (removed when it
// did not exist) and end the program with the signal.
#pragma once

#include <string>

namespace cli {

// Notes the description file at path and installs
// the handlers.  Call once, before the first write to it.
void restoreOnInterrupt(const std::string& path);

}  // namespace cli
