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
// (compiled once; written in literalCodePage), else the pattern is compiled
// whenever it changes.  chars: the code page of the subject's text.
std::unique_ptr<Node> makeLikeNode(std::unique_ptr<Node> subject, std::unique_ptr<Node> pattern,
                                   const std::string* literal, CodePage literalCodePage, bool negated,
                                   const CharStepper& chars);

// Several like tests of one column joined by and (isAnd) or by or: the
// column is read once and the tests run one after the other.  Same three-
// valued result as the chain of single tests.
struct LikeTest {
    std::string pattern;
    CodePage patternCodePage;
    bool negated;
};
std::unique_ptr<Node> makeLikeChainNode(bool isAnd, std::unique_ptr<Node> subject, const std::vector<LikeTest>& tests,
                                        const CharStepper& chars);

// A call of a character function; throws Error for an unknown name or a
// wrong number of arguments.  chars: the code page of the call's text
// arguments; messages: the connection's, of the texts of errors.
std::unique_ptr<Node> makeFunctionNode(const Expr& call, std::vector<std::unique_ptr<Node>> args,
                                       const CharStepper& chars, CodePage messages);

// Checks the name and argument count of a call.
void checkFunctionCall(const Expr& call);

}  // namespace engine
