// Executable expressions, compiled from the bound statement tree once per
// scanning thread (each node may keep a scratch buffer, so nodes are not
// shared between threads).  Logic follows three values: a comparison or like
// with a null is null, and a where clause keeps only rows that are true.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/char_stepper.h"
#include "engine/row_store.h"
#include "engine/value.h"

namespace engine {

// What an expression reads: the current row of each table, or (after
// grouping) the group's key cells and counts.
struct EvalContext {
    const Value* fields[2] = {nullptr, nullptr};
    std::size_t fieldCounts[2] = {0, 0};
    const Cell* groupKeys = nullptr;
    const std::uint64_t* counts = nullptr;
    // Whether the text last tested by like is single-byte (a per-row cache).
    mutable const char* asciiData = nullptr;
    mutable std::size_t asciiSize = 0;
    mutable bool ascii = false;
    // Must be called before each row (or group) is evaluated.
    void newRow() { asciiData = nullptr; }
    // Whether text is single-byte, decided once per row for the same text.
    bool asciiOf(std::string_view text) const {
        if (asciiData != text.data() || asciiSize != text.size()) {
            asciiData = text.data();
            asciiSize = text.size();
            ascii = isAscii(text.data(), text.size());
        }
        return ascii;
    }
};

class Node {
public:
    virtual ~Node() = default;
    virtual Value eval(const EvalContext& ctx) = 0;
};

bool isTrue(const Value& v);

// Compiles an expression that reads row values; count() is refused with an
// Error that names the clause.  The expression must have been settled
// (StatementEncodings): each node steps characters in its own encoding;
// chars is the connection's code page, of error messages.
std::unique_ptr<Node> compileRowExpression(const Expr& e, const CharStepper& chars, const char* clause);

// Compiles an expression over groups: parts equal to a group by expression
// read the group's key, count(...) reads the group's count (registered in
// aggregates when new), other columns are refused.
struct GroupOutputScope {
    std::vector<std::string> keyTexts;       // canonical texts of the group by expressions
    std::vector<const Expr*> aggregates;     // count(...) calls, in order of first use
    std::vector<std::string> aggregateTexts;
};
std::unique_ptr<Node> compileGroupExpression(const Expr& e, const CharStepper& chars, GroupOutputScope& scope);

// Checks function names and argument counts without compiling.
void checkFunctions(const Expr& e);

}  // namespace engine
