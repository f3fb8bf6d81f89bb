// The domain statistics statement: the text after the first "@" of every
// address with the basic shape, and how many rows carry it, most frequent first.
#pragma once

#include <string>

namespace conditions {

// top 0 means all domains.  The column stands bare inside mid/instr/len/count
// and bracketed only in the where clause.
std::string DomainStatisticsStatement(const std::string& table, const std::string& column, int top);

}  // namespace conditions
