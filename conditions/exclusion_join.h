// The join against the exclusion file, to append after a table aliased A.
#pragma once

#include <string>

namespace conditions {

// Inner join (antiJoin false) keeps the rows of A whose value is in the
// exclusion file; the anti-join keeps those whose value is not.  fileName is
// the table name as the engine resolves it (bare name: the source directory).
std::string ExclusionFileJoin(const std::string& column, const std::string& fileName, bool antiJoin);

}  // namespace conditions
