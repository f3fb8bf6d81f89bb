// The statements the benchmark times, composed by the tool's own builders:
// the row count, the three classification statements of the cleaning
// pipeline's first pass, and the domain statistics.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Statement {
    std::string key;    // short name used on the command line and in the table
    std::string sql;
};

// Every statement the benchmark knows, in table order:
// count, invalid, error, valid, domains10, domainsall.
std::vector<Statement> allStatements(const std::string& table, const std::string& column);

}  // namespace bench
