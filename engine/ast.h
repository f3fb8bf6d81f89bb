// The parsed form of a statement.  Column references are resolved to a table
// and a column by the binder; the tree itself stays read-only afterwards, so
// scanning threads may share it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace engine {

struct Expr {
    enum class Kind {
        Column,      // name, qualifier
        TextLiteral, // text
        NumberLiteral,
        NullLiteral,
        Not,         // children[0]
        Negate,      // children[0]
        Compare,     // op: "=", "<>", "<", ">", "<=", ">="; children[0], children[1]
        Arithmetic,  // children: two or more terms; text: the operator ("+", "-", "&")
                     // before each later term, one character each; left to right
        And,         // children: two or more terms
        Or,
        Like,        // negated; children[0] like children[1]
        IsNull,      // negated
        Call,        // name (function), children = arguments; star for count(*)
        Convert,     // children[0], its text turned into `encoding` (put in by settleEncodings)
    };

    Kind kind = Kind::NullLiteral;
    std::string name;       // column or function name
    std::string qualifier;  // table alias before the dot, or empty
    std::string text;       // literal text, operator
    double number = 0;
    bool negated = false;
    bool star = false;
    std::size_t offset = 0; // byte offset in the statement, for messages
    std::vector<std::unique_ptr<Expr>> children;

    // Filled in by the binder for Column.
    int table = -1;
    int column = -1;

    // Filled in by settleEncodings: the code page of the text this node
    // works on (a column: its table's values; a literal: its text's; a
    // comparison, like or character function: its text operands').
    CodePage encoding = CodePage::Gbk;
    // A TextLiteral with a character that `encoding` cannot write (it then
    // equals no text of that encoding).
    bool inexact = false;

    bool isAggregate() const;          // count(...)
    bool containsAggregate() const;
};

struct SelectItem {
    bool star = false;
    std::string starQualifier;   // A.* (empty for *)
    std::unique_ptr<Expr> expr;
    std::string alias;
};

struct TableRef {
    std::string name;    // as written inside the brackets
    std::string alias;   // empty when none was given
    std::size_t offset = 0;
};

struct JoinClause {
    bool left = false;   // left join; otherwise inner
    TableRef table;
    std::unique_ptr<Expr> on;
};

struct OrderItem {
    std::unique_ptr<Expr> expr;
    bool descending = false;
};

struct SelectStatement {
    bool distinct = false;
    std::optional<std::uint64_t> top;
    std::vector<SelectItem> items;
    TableRef from;
    std::optional<JoinClause> join;
    std::unique_ptr<Expr> where;
    std::vector<std::unique_ptr<Expr>> groupBy;
    std::vector<OrderItem> orderBy;
};

// Text of an expression in a canonical form (names folded, resolved columns
// as table/column numbers), used to match select items with group by items.
std::string canonicalText(const Expr& e);

}  // namespace engine
