#include "conditions/address_classes.h"

namespace conditions {

std::string InvalidCondition(const std::string& column) {
    return "[" + column + "] not like '%@%.%'";
}

namespace {

// The faults an address of the basic shape may have, besides not ending in a letter.
const char* const kFaultPatterns[] = {"'% %'", "'%@.%'", "'%@@%'", "'[@]%'", "'%@%..%'"};

}  // namespace

// The letter test stands last here and second in ValidCondition: the two are
// exact complements within the basic shape.
std::string ErrorCondition(const std::string& column) {
    const std::string c = "[" + column + "]";
    std::string condition = c + " like '%@%.%' and (";
    for (const char* fault : kFaultPatterns) condition += c + " like " + fault + " or ";
    return condition + c + " not like '%[a-z,A-Z]')";
}

std::string ValidCondition(const std::string& column) {
    const std::string c = "[" + column + "]";
    std::string condition = c + " like '%@%.%' and " + c + " like '%[a-z,A-Z]'";
    for (const char* fault : kFaultPatterns) condition += " and " + c + " not like " + fault;
    return condition;
}

}  // namespace conditions
