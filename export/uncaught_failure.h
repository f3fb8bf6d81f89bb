// A failure that the export operations do not report themselves (a number that
// does not convert, a file failure while splitting): the window shows it in its
// stop-icon failure box, the command line prints it and fails.
#pragma once

#include <stdexcept>

namespace exporting {

class UncaughtFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace exporting
