// Reads the section of one table file from a directory's Schema.ini.
//
// The file is read by its file-system name, so that a directory whose name
// the connection's code page can write but GBK cannot still has its
// description.  Section names are file names: a user's Schema.ini may hold
// them in GBK or in UTF-8 (a mark at its start is skipped), so a section
// matches the file's name written in either code page, letter case of A-Z
// ignored; the connection's code page wins when both are there.  Otherwise
// the rules of the private-profile service (platform/ini_line.h): the first
// section of that name counts, "key=value" lines with blanks trimmed, what the
// service quoted reads back unquoted.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/engine.h"

namespace engine {

using SchemaEntries = std::vector<std::pair<std::string, std::string>>;

// nativePath: the Schema.ini file's file-system name; fileName in codePage.
// Empty when the file or the section is missing or cannot be read.
SchemaEntries readSchemaSection(const std::string& nativePath, const std::string& fileName, CodePage codePage);
// The same for the text of a Schema.ini held in memory.
SchemaEntries schemaSectionOfText(std::string_view text, const std::string& fileName, CodePage codePage);

}  // namespace engine
