// The program's check lists as the build tree holds them (share/emailclean/).
#pragma once

#include <string>

namespace testsupport {

inline std::string checkListsFolder() { return EMAILCLEAN_LIST_DIR; }

}  // namespace testsupport
