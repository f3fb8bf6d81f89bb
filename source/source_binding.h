// The bound source file: its directory and file name, the table the engine
// reads for it (the file itself, or a workbook's table copy in the tool's
// private folder), and the description file (Schema.ini) beside that table
// which tells the engine the separator, whether the first line holds column
// names, and the content's encoding.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "source/source_encoding.h"

namespace source {

class SourceBinding {
public:
    // Takes the directory (up to the last "/"; a file in the root directory
    // gives "/") and the file name from a full path.  Removes the sections
    // that killed runs of the tool left in that directory's description file,
    // then notes whether a description file stands there, and what it holds
    // for this file, so that deleteSchema() keeps what the user had before.
    void bind(const std::string& fullPath);
    // A workbook at fullPath, read by the engine through its table copy at
    // copyPath; the description file goes beside the copy, never beside the
    // workbook.
    void bindCopy(const std::string& fullPath, const std::string& copyPath);

    // The user's file: where it lies (the output folder by default, where an
    // exclusion file is looked for) and its name.
    const std::string& sourceDir() const { return sourceDir_; }
    const std::string& sourceFile() const { return sourceFile_; }
    // The table the engine reads: the folder the connections are opened on
    // and the table name in every statement over the source.
    const std::string& tableDir() const { return tableDir_; }
    const std::string& tableFile() const { return tableFile_; }
    // The engine reads a table copy of a workbook.
    bool isCopy() const { return isCopy_; }
    // A file counts as bound once its directory is known.
    bool isBound() const { return !sourceDir_.empty(); }
    // The stem of every output file: the file name less its last four
    // characters; a workbook's name less its extension.
    std::string baseName() const;
    // tableDir + "/Schema.ini".
    std::string schemaPath() const;
    // The section's name as the description file holds it: the file name in
    // GBK where GBK can hold it (as the description file has always named
    // it), else in UTF-8; a section the user's file already has keeps its form.
    const std::string& sectionName() const { return sectionName_; }

    // Write "ColNameHeader" (True/False) and return the header word (Yes/No).
    std::string WriteSchemaHeader(bool header);
    // Write "Format" for the separator item (0 comma, 1 semicolon, 2 tab,
    // 3 blank) and return it; any other index writes and returns "".
    std::string WriteSchemaFormat(int delimiterIndex);
    // Write "CharacterSet" for a list that is not GBK; for GBK nothing is
    // written, unless the section already has the key or the file begins
    // with a byte-order mark (which would otherwise decide): it then says "936".
    void WriteSchemaCharacterSet(TextEncoding encoding);
    // All three throw platform::IniWriteError "Unable to write to <path>".

    // Removes what the tool put into the description file: the whole file
    // when the tool created it (unless another run has added a section to it
    // meanwhile), otherwise only the tool's section (or, when the user's file
    // already had a section for this file, the values it had).  The sections
    // the tool creates carry a comment line of its own (source/schema_marker.h).
    // The outcome is not reported.  Does nothing while unbound.
    void deleteSchema();

private:
    void noteSchemaBefore();
    void writeKey(const char* key, const std::string& value);
    std::optional<std::string> valueBefore(const std::string& key) const;

    std::string sourceDir_;
    std::string sourceFile_;
    std::string tableDir_;
    std::string tableFile_;
    bool isCopy_ = false;
    std::string sectionName_;
    // What the description file held before this binding first wrote to it.
    bool fileExistedBefore_ = false;
    bool sectionExistedBefore_ = false;
    std::vector<std::pair<std::string, std::string>> sectionBefore_;
    bool written_ = false;
    std::vector<std::string> writtenKeys_;  // in the order first written
};

// The words of the separator items, as the description file and the
// connection string carry them; "" for an index outside the list.
std::string formatWordFor(int delimiterIndex);
// "Yes" or "No".
std::string headerWordFor(bool header);

}  // namespace source
