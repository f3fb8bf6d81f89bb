// The stem of every output file name.
#pragma once

#include <string>

namespace source {

// The source file name less its last four characters (a Chinese character or
// an emoji counting as one); empty for a name of four characters or fewer.
std::string BaseName(const std::string& sourceFile);

// A workbook's name less its extension (from the last "."): the four
// characters would leave "名单." of "名单.xlsx".  The whole name when it has
// no extension.
std::string WorkbookBaseName(const std::string& workbookFile);

}  // namespace source
