// The connection strings and the statements over the bound source file,
// composed from fixed fragments.
#pragma once

#include <string>

namespace source {

// The preview connection: the source file's header and format settings.
std::string previewConnectionString(const std::string& dir, const std::string& headerWord,
                                    const std::string& formatWord);
// The connection over the tool's own intermediate files, which have no header line.
std::string csvConnectionString(const std::string& dir);
// "select count([column]) as rcount from [file]".
std::string rowCountStatement(const std::string& column, const std::string& sourceFile);
// "select top 200 * from [file]" followed directly by the condition text
// ("" or " where " + a condition).
std::string previewStatement(const std::string& sourceFile, const std::string& conditionText);

}  // namespace source
