// The tool's mark on the sections it writes into Schema.ini: a comment line
// naming the process that wrote the section, so that a later run can tell a
// section that a killed run left behind from a user's own and remove it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/process_mark.h"

namespace source {

// The comment text (after the ";") for a section written by this process;
// createdFile says that the same write created the file.
std::string ownSectionComment(bool createdFile);

struct OwnSection {
    platform::ProcessMark writer;
    bool createdFile = false;
};

// What a comment line says when it is the tool's mark; nullopt otherwise.
std::optional<OwnSection> parseOwnSectionComment(std::string_view comment);

// Removes the sections of the description file at schemaPath that runs no
// longer running wrote, and the file itself when one of those runs created
// it and nothing else is left in it.  Sections of running processes, of
// other hosts, and every section without the mark stay.  Failures are left
// for the next write to report.
void removeLeftoverSections(const std::string& schemaPath);

}  // namespace source
