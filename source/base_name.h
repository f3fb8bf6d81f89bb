// The stem of every output file name.
#pragma once

#include <string>

namespace source {

// The source file name less its last four characters (a Chinese character or
// an emoji counting as one); empty for a name of four characters or fewer.
std::string BaseName(const std::string& sourceFile);

}  // namespace source
