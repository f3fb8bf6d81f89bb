// How a delimited file is read: its separator, whether its first line holds
// the column names, and the encoding of its text.  The connection string
// gives the default; a section named after the file in Schema.ini beside it
// overrides it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/char_stepper.h"
#include "engine/file_encoding.h"

namespace engine {

struct TableFormat {
    bool header = true;    // first line holds column names
    char separator = ',';
    std::optional<FileEncoding> characterSet;  // the file's own Schema.ini CharacterSet, when it names one
    // The connection string's CharacterSet: the encoding of files with
    // neither a key of their own nor a byte-order mark (without it: the
    // connection's code page).
    std::optional<FileEncoding> defaultCharacterSet;
    // Encodings the connection's user declared for files by name (see
    // Connection::declareTableEncoding): between a file's own key and its
    // byte-order mark.
    std::vector<std::pair<std::string, FileEncoding>> declaredCharacterSets;
};

// The word without blanks and tabs at either end (keys and values of a
// connection string or of Schema.ini).
std::string_view trimBlanks(std::string_view s);

// "CSVDelimited", "TabDelimited", "Delimited" (the comma) or "Delimited(x)"
// for one character x, letter case ignored; nullopt for anything else.
std::optional<char> parseFormatWord(std::string_view word);

// "Yes"/"True" or "No"/"False", letter case ignored; nullopt for anything else.
std::optional<bool> parseYesNo(std::string_view word);

// Connection options of the text driver: Data Source, and of Extended
// Properties HDR, FMT and CharacterSet (the values of Schema.ini's key).
struct ConnectionOptions {
    std::string dataSource;
    TableFormat defaults;
};

// Parses the connection string; throws Error for a malformed string.
ConnectionOptions parseConnectionString(std::string_view text);

// The format of the file fileName in directory dir (both in the code page of
// chars): the Schema.ini section named after the file when there is one, else
// the defaults.  Throws Error for a section value that cannot be understood.
TableFormat resolveTableFormat(const std::string& dir, const std::string& fileName, const TableFormat& defaults,
                               const CharStepper& chars);

// The same for the key=value entries of the file's section (dir and
// fileName only name them in messages).
TableFormat formatFromSection(const std::vector<std::pair<std::string, std::string>>& entries,
                              const TableFormat& defaults, const std::string& dir, const std::string& fileName);

}  // namespace engine
