// The application title: the caption of every message box, the program's
// name on the desktop and the banner's headline.
#pragma once

namespace app {

inline constexpr const char* kApplicationTitle = "Email地址清理";

}  // namespace app
