// Parses one select statement of the dialect into its tree.
#pragma once

#include <string_view>

#include "engine/ast.h"
#include "engine/char_stepper.h"

namespace engine {

// Throws Error with the position of the first thing that does not fit.
SelectStatement parseStatement(std::string_view statement, const CharStepper& chars);

}  // namespace engine
