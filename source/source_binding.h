// The bound source file: its directory and file name, and the description
// file (Schema.ini) beside it that tells the engine the separator and whether
// the first line holds column names.
#pragma once

#include <optional>
#include <string>

namespace source {

class SourceBinding {
public:
    // Takes the directory (up to the last "/"; a file in the root directory
    // gives "/") and the file name from a full path in GBK.  Also notes
    // whether a description file already stands in that directory, so that
    // deleteSchema() keeps a file the user had before.
    void bind(const std::string& gbkFullPath);

    const std::string& sourceDir() const { return sourceDir_; }
    const std::string& sourceFile() const { return sourceFile_; }
    // A file counts as bound once its directory is known.
    bool isBound() const { return !sourceDir_.empty(); }
    // The file name less its last four characters: the stem of every output file.
    std::string baseName() const;
    // sourceDir + "/Schema.ini".
    std::string schemaPath() const;

    // Write "ColNameHeader" (True/False) and return the header word (Yes/No).
    std::string WriteSchemaHeader(bool header);
    // Write "Format" for the separator item (0 comma, 1 semicolon, 2 tab,
    // 3 blank) and return it; any other index writes and returns "".
    std::string WriteSchemaFormat(int delimiterIndex);
    // Both throw platform::IniWriteError "Unable to write to <path>".

    // Removes what the tool put into the description file: the whole file
    // when the tool created it, otherwise only the tool's section (or, when the
    // user's file already had a section for this file, the values it had).
    // The outcome is not reported.  Does nothing while unbound.
    void deleteSchema();

private:
    std::string sourceDir_;
    std::string sourceFile_;
    // What the description file held before this binding first wrote to it.
    bool fileExistedBefore_ = false;
    bool sectionExistedBefore_ = false;
    std::optional<std::string> headerBefore_;
    std::optional<std::string> formatBefore_;
    bool written_ = false;
};

// The words of the separator items, as the description file and the
// connection string carry them; "" for an index outside the list.
std::string formatWordFor(int delimiterIndex);
// "Yes" or "No".
std::string headerWordFor(bool header);

}  // namespace source
