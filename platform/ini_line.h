// How the INI service writes a section name, a key and a value on a line and
// reads them back.
//
// Reading trims blanks (space, tab) around names, keys and values, and takes
// a line that is "[" ... "]" as a whole for a section header.  A text is
// therefore written as it is unless reading it would change it: blanks at
// either end, a line break, a text already in double quotes, or a value that
// would make its key line look like a section header (a key beginning with
// "[" and a value ending with "]").  Such a text is written in double quotes,
// with "\", carriage return and line feed inside as \\, \r and \n.  Reading
// takes the quotes off only when the text inside is one that needed them, so
// a hand-written value such as "x" keeps its quotes as before, and a
// hand-written " x " in quotes reads as the platform's INI files read it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::ini {

// "[" name "]".
std::string sectionLine(std::string_view section);
// key "=" value.
std::string keyLine(std::string_view key, std::string_view value);

// ";" + text.
std::string commentLine(std::string_view text);
// The text after the ";" of a comment line (one whose first byte after
// blanks is ";"); nullopt for any other line.
std::optional<std::string> commentText(std::string_view line);

// The section name of a header line; nullopt for any other line.
std::optional<std::string> parseSectionLine(std::string_view line);

struct KeyValue {
    std::string key;
    std::string value;
};
// The key and value of a key line (a line with "=" that is no section
// header); nullopt for any other line (blank lines, comments without "=").
std::optional<KeyValue> parseKeyLine(std::string_view line);

}  // namespace platform::ini
