// Opening a web address with the desktop's browser, silently: the outcome is
// not examined, and nothing is printed when no browser can be found.
#pragma once

#include <QString>

namespace app {

// Hands url to xdg-open in a process of its own, its output discarded; does
// nothing when xdg-open is not installed.  (Qt's own opener warns on the
// terminal when it finds no browser.)
void openUrlQuietly(const QString& url);

}  // namespace app
