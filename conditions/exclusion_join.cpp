#include "conditions/exclusion_join.h"

#include "conditions/sql_text.h"

namespace conditions {

std::string ExclusionFileJoin(const std::string& column, const std::string& fileName, bool antiJoin) {
    const std::string on = " as B on A.[" + column + "]=B.[" + column + "]";
    if (!antiJoin) return " inner join " + BracketedName(fileName) + on;
    return " left join " + BracketedName(fileName) + on + " where B.[" + column + "] is null";
}

}  // namespace conditions
