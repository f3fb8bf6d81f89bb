// The three conditions that sort every non-null address into exactly one
// class: invalid (no "x@y.z" shape), erroneous (the shape with an error mark)
// and valid.  Column names are written between "[" and "]" as they are.
#pragma once

#include <string>

namespace conditions {

std::string InvalidCondition(const std::string& column);
std::string ErrorCondition(const std::string& column);
std::string ValidCondition(const std::string& column);

}  // namespace conditions
