// The text that --help prints and a usage error points to.
#pragma once

namespace cli {

// The lines of the command's form, printed with a usage error.
extern const char* const kSynopsis;
// The rest of --help: each option with its default, output, exit status.
extern const char* const kDetails;

}  // namespace cli
