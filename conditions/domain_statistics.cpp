#include "conditions/domain_statistics.h"

#include "conditions/sql_text.h"

namespace conditions {

std::string DomainStatisticsStatement(const std::string& table, const std::string& column, int top) {
    const std::string topClause = top != 0 ? "top " + std::to_string(top) : std::string();
    const std::string domain =
        "mid(" + column + ",instr(" + column + ",'@')+1,len(" + column + "))";
    return "select " + topClause + " " + domain + " as [domain],count(" + column +
           ") as quantity from " + BracketedName(table) + " where [" + column +
           "] like '%@%.%' group by " + domain + "  order by count(" + column + ") desc";
}

}  // namespace conditions
