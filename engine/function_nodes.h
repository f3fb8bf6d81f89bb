// The nodes of like and of the character functions (lcase, len, mid, instr,
// and ucase, left, right, trim).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/char_stepper.h"
#include "engine/expression.h"

namespace engine {

// subject like pattern; literal is the pattern's text when it is a literal
// (compiled once), else the pattern is compiled whenever it changes.
std::unique_ptr<Node> makeLikeNode(std::unique_ptr<Node> subject, std::unique_ptr<Node> pattern,
                                   const std::string* literal, bool negated, const CharStepper& chars);

// Several like tests of one column joined by and (isAnd) or by or: the
// column is read once and the tests run one after the other.  Same three-
// valued result as the chain of single tests.
struct LikeTest {
    std::string pattern;
    bool negated;
};
std::unique_ptr<Node> makeLikeChainNode(bool isAnd, std::unique_ptr<Node> subject, const std::vector<LikeTest>& tests,
                                        const CharStepper& chars);

// A call of a character function; throws Error for an unknown name or a
// wrong number of arguments.
std::unique_ptr<Node> makeFunctionNode(const Expr& call, std::vector<std::unique_ptr<Node>> args,
                                       const CharStepper& chars);

// Checks the name and argument count of a call.
void checkFunctionCall(const Expr& call);

}  // namespace engine
