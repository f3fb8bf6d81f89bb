// The private-profile (INI) service: "[section]" lines followed by key=value
// lines, CRLF line ends.  Names and values are bytes as the caller gives them
// (GBK, or UTF-8 where GBK cannot hold a name); a UTF-8 byte-order mark at
// the start of the file is stepped over and kept.  Section and key names match
// without regard to letter case; keys keep their file order; values of any
// length read back whole.  Every write goes to the file at once.
//
// What is written reads back as written (platform/ini_line.h says how a
// line keeps blanks at the ends of a text and other bytes that reading would
// change).  Reading a missing file gives the defaults; a file that is there
// but cannot be read (a folder of that name, no permission) throws
// platform::FileError "Cannot read file "PATH". CAUSE", from the writing
// functions too.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Raised when the file cannot be written; what() is "Unable to write to PATH".
class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace ini {

// Creates the file and the section when missing, replaces an existing key's
// value in place, leaves every other line as it was.  A section this write
// creates gets the comment line ";" + newSectionComment right after its
// header when that is not empty (in the same write).  A key may hold any
// byte but line breaks are written escaped (see platform/ini_line.h).
void writeString(const std::string& path, const std::string& section,
                 const std::string& key, const std::string& value,
                 const std::string& newSectionComment = {});

// The value, or defaultValue when the file, section or key is missing.
std::string readString(const std::string& path, const std::string& section,
                       const std::string& key, const std::string& defaultValue = {});

// Key names of a section, in file order (empty when missing).
std::vector<std::string> readKeys(const std::string& path, const std::string& section);

// key=value entries of a section, in file order.
std::vector<std::pair<std::string, std::string>> readSection(const std::string& path,
                                                             const std::string& section);
// The same for the bytes of an INI file held in memory.
std::vector<std::pair<std::string, std::string>> readSectionOfText(std::string_view fileText,
                                                                   const std::string& section);

bool sectionExists(const std::string& path, const std::string& section);

// Removes the section with its lines; nothing happens when it is missing.
void eraseSection(const std::string& path, const std::string& section);

// Whether the file's names and values are UTF-8: it begins with a UTF-8
// byte-order mark, or it is valid UTF-8 holding a multi-byte character.  Any
// other file is read as GBK.
bool isUtf8File(const std::string& path);

// Rewrites a GBK file as UTF-8 with a byte-order mark (a missing file becomes
// an empty one with the mark).  Throws IniWriteError.
void convertToUtf8(const std::string& path);

// A section's name and its comment lines (the text after the ";" of each
// line of its body that begins with ";").
struct SectionComments {
    std::string name;
    std::vector<std::string> comments;
};

// Removes, in one write, every section for which drop is true and returns
// those; the file is not written when none is.
std::vector<SectionComments> eraseSectionsIf(const std::string& path,
                                             const std::function<bool(const SectionComments&)>& drop);

// Whether the file holds a line that is not blank (false when it is missing).
bool hasContent(const std::string& path);

}  // namespace ini
}  // namespace platform
