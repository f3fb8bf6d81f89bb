#include "conditions/exclusion_join.h"

namespace conditions {

std::string ExclusionFileJoin(const std::string& column, const std::string& fileName, bool antiJoin) {
    const std::string on = " as B on A.[" + column + "]=B.[" + column + "]";
    if (!antiJoin) return " inner join [" + fileName + "]" + on;
    return " left join [" + fileName + "]" + on + " where B.[" + column + "] is null";
}

}  // namespace conditions
