// The program's icon: the pictures the desktop installs (drawn from
// desktop/emailclean.svg at build time), for the windows of the program.
#pragma once

#include <QIcon>

namespace app {

QIcon programIcon();

}  // namespace app
