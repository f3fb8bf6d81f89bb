#include "bench_statements.h"

#include "conditions/conditions.h"

namespace bench {

std::vector<Statement> allStatements(const std::string& table, const std::string& column)
{
    const std::string distinct = "select distinct lcase([" + column + "]) from [" + table + "] where ";
    return {
        {"count", "select count([" + column + "]) as rcount from [" + table + "]"},
        {"invalid", distinct + conditions::InvalidCondition(column)},
        {"error", distinct + conditions::ErrorCondition(column)},
        {"valid", distinct + conditions::ValidCondition(column)},
        {"domains10", conditions::DomainStatisticsStatement(table, column, 10)},
        {"domainsall", conditions::DomainStatisticsStatement(table, column, 0)},
    };
}

}  // namespace bench
