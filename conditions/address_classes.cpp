#include "conditions/address_classes.h"

namespace conditions {

std::string InvalidCondition(const std::string& column) {
    return "[" + column + "] not like '%@%.%'";
}

// The letter test stands last here and second in ValidCondition: the two are
// exact complements within the basic shape.
std::string ErrorCondition(const std::string& column) {
    const std::string c = "[" + column + "]";
    return c + " like '%@%.%'" +
           " and (" + c + " like '% %'" +
           " or " + c + " like '%@.%'" +
           " or " + c + " like '%@@%'" +
           " or " + c + " like '[@]%'" +
           " or " + c + " like '%@%..%'" +
           " or " + c + " not like '%[a-z,A-Z]')";
}

std::string ValidCondition(const std::string& column) {
    const std::string c = "[" + column + "]";
    return c + " like '%@%.%'" +
           " and " + c + " like '%[a-z,A-Z]'" +
           " and " + c + " not like '% %'" +
           " and " + c + " not like '%@.%'" +
           " and " + c + " not like '%@@%'" +
           " and " + c + " not like '[@]%'" +
           " and " + c + " not like '%@%..%'";
}

}  // namespace conditions
