#include "conditions/address_filters.h"

#include "conditions/comma_list.h"
#include "conditions/sql_text.h"

namespace conditions {

std::string PrefixLengthCondition(const std::string& column, const std::string& op,
                                  const std::string& number, bool negate) {
    std::string chosen = op;
    if (negate) chosen = (op == ">") ? "<=" : ">=";
    return "InStr([" + column + "],'@')-1" + chosen + number;
}

namespace {

// Joins one like-test per item; the plain separator " or  " is as long as
// " and " so that the last one is removed by the same count.
template <typename Pattern>
std::string listCondition(const std::string& column, const std::string& list, bool negate,
                          Pattern pattern) {
    const std::string separator = negate ? " and " : " or  ";
    std::string accumulator;
    for (const std::string& item : SplitCommaList(list)) {
        accumulator += "[" + column + "]";
        if (negate) accumulator += " not";
        accumulator += " like " + QuoteSqlText(pattern(item));
        accumulator += separator;
    }
    if (!accumulator.empty()) accumulator.resize(accumulator.size() - separator.size());
    return "(" + accumulator + ")";
}

}  // namespace

std::string PrefixListCondition(const std::string& column, const std::string& list, bool negate) {
    return listCondition(column, list, negate,
                         [](const std::string& item) { return item + "@%.%"; });
}

std::string SuffixListCondition(const std::string& column, const std::string& list, bool negate) {
    return listCondition(column, list, negate,
                         [](const std::string& item) { return "%@" + item; });
}

}  // namespace conditions
