// The description file (Schema.ini) as the tool writes it for one source file
// into a folder that had none: the section, the tool's mark for this process,
// then the two keys.
#pragma once

#include <string>

#include "source/schema_marker.h"

namespace testsupport {

// The tool's mark line in a section it created (createdFile: in a file it created).
inline std::string toolMarkLine(bool createdFile = true) {
    return ";" + source::ownSectionComment(createdFile) + "\r\n";
}

inline std::string toolSchema(const std::string& section, const std::string& header, const std::string& format) {
    return "[" + section + "]\r\n" + toolMarkLine() + "ColNameHeader=" + header +
           "\r\nFormat=" + format + "\r\n";
}

}  // namespace testsupport
