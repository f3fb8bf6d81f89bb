// Gives every expression of a bound statement the encoding of the text it
// works on, so that each operator steps characters in the right code page.
//
// A column's text is in its table's encoding.  The statement's text literals
// are in the connection's code page; each is converted once, here, into the
// encoding of the text it meets: 'x' in [c] = 'x', instr([c],'@'),
// lcase([c]) & '.cn'.  A literal that meets no column takes the first
// table's encoding.  A like pattern that is a literal stays as written: the
// like matcher converts it character by character (so that a character the
// table's encoding cannot hold matches nothing).  Where texts of two tables
// in different encodings meet (A.[x] = B.[y]), the second is converted while
// the statement runs (an Expr of kind Convert is put in above it).
//
// Join keys are not settled here: the join converts the keys of its right
// table into the encoding of the left one when it reads them.
#pragma once

#include <optional>
#include <vector>

#include "engine/ast.h"
#include "engine/engine.h"

namespace engine {

class StatementEncodings {
public:
    // statement: the connection's code page; tables: the value encoding of each table.
    StatementEncodings(CodePage statement, std::vector<CodePage> tables);

    // Settles the expression e (a select item, the where clause, a group by or
    // order by item).  Each tree is settled once.
    void settle(Expr& e);

private:
    enum class Text { Fixed, Free, Neutral };  // a table's text; literals only; no text (numbers, truth)
    struct Kind {
        Text text;
        CodePage encoding;
    };

    struct Unified {
        std::optional<CodePage> encoding;  // what the children were brought to
        bool anyFree = false;              // some child is made of literals
    };

    Kind infer(Expr& e);
    // Settles children [first, last) of e as one text: the first that is a
    // table's decides, else `otherwise`; free children are converted into
    // it, others of another encoding get a Convert above them.  With neither
    // (no table's text, no otherwise), nothing is brought.
    Unified unify(Expr& e, std::size_t first, std::size_t last, bool keepPatternLiteral,
                  std::optional<CodePage> otherwise);
    // Gives a free expression (made of literals) the encoding target.
    void assign(Expr& e, CodePage target);
    // A chain of + - & is settled step by step as the tree it stands for.
    Kind inferChain(Expr& e);
    void assignChain(Expr& e, std::size_t k, const std::vector<bool>& free, CodePage target);

    CodePage statement_;
    CodePage fallback_;  // the first table's
    std::vector<CodePage> tables_;
};

}  // namespace engine
