#include "engine/expression.h"

#include <cmath>
#include <functional>
#include <optional>

#include "engine/engine.h"
#include "engine/function_nodes.h"
#include "engine/text_convert.h"
#include "engine/text_fold.h"

namespace engine {

bool isTrue(const Value& v) {
    if (v.isNumber()) return v.number != 0;
    if (v.isText()) {
        auto n = numericValue(v);
        return n && *n != 0;
    }
    return false;
}

namespace {

Value truth(bool b) { return Value::fromNumber(b ? 1 : 0); }

class ColumnNode : public Node {
public:
    ColumnNode(int table, int column) : table_(table), column_(static_cast<std::size_t>(column)) {}
    Value eval(const EvalContext& ctx) override {
        return column_ < ctx.fieldCounts[table_] ? ctx.fields[table_][column_] : Value::null();
    }

private:
    int table_;
    std::size_t column_;
};

class LiteralNode : public Node {
public:
    explicit LiteralNode(const Expr& e) : text_(e.text) {
        if (e.kind == Expr::Kind::TextLiteral) value_ = Value::text(text_);
        else if (e.kind == Expr::Kind::NumberLiteral) value_ = Value::fromNumber(e.number);
    }
    Value eval(const EvalContext&) override { return value_; }

private:
    std::string text_;
    Value value_;
};

class NotNode : public Node {
public:
    explicit NotNode(std::unique_ptr<Node> a) : a_(std::move(a)) {}
    Value eval(const EvalContext& ctx) override {
        const Value v = a_->eval(ctx);
        if (v.isNull()) return v;
        return truth(!isTrue(v));
    }

private:
    std::unique_ptr<Node> a_;
};

// "a and b and c ...": a chain of and (or of or) is one node, so that the
// long conditions of the address classes cost one call per term.
class LogicNode : public Node {
public:
    LogicNode(bool isAnd, std::vector<std::unique_ptr<Node>> terms) : isAnd_(isAnd), terms_(std::move(terms)) {}
    Value eval(const EvalContext& ctx) override {
        bool sawNull = false;
        for (auto& t : terms_) {
            const Value v = t->eval(ctx);
            if (v.isNull()) {
                sawNull = true;
                continue;
            }
            if (isTrue(v) != isAnd_) return truth(!isAnd_);
        }
        return sawNull ? Value::null() : truth(isAnd_);
    }

private:
    bool isAnd_;
    std::vector<std::unique_ptr<Node>> terms_;
};

class CompareNode : public Node {
public:
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };
    // neverEqual: one side is a literal with a character the texts' code page
    // cannot hold, so no text equals it.
    CompareNode(const std::string& op, std::unique_ptr<Node> a, std::unique_ptr<Node> b, const CharStepper& chars,
                bool neverEqual)
        : op_(op == "=" ? Op::Eq : op == "<>" ? Op::Ne : op == "<" ? Op::Lt : op == ">" ? Op::Gt : op == "<=" ? Op::Le : Op::Ge),
          a_(std::move(a)), b_(std::move(b)), chars_(chars), neverEqual_(neverEqual) {}
    Value eval(const EvalContext& ctx) override {
        const Value x = a_->eval(ctx);
        if (x.isNull()) return x;
        const Value y = b_->eval(ctx);
        if (y.isNull()) return y;
        int c;
        if (x.isText() && y.isText()) {
            if (op_ == Op::Eq || op_ == Op::Ne) {
                const bool eq = !neverEqual_ && equalFolded(x.view(), y.view(), chars_);
                return truth(op_ == Op::Eq ? eq : !eq);
            }
            c = compareFolded(x.view(), y.view(), chars_);
        } else {
            // A number against a text compares the text's number; a text
            // that is no number satisfies no comparison.
            double nx, ny;
            if (x.isNumber()) nx = x.number;
            else if (auto n = numericValue(x)) nx = *n;
            else return Value::null();
            if (y.isNumber()) ny = y.number;
            else if (auto n = numericValue(y)) ny = *n;
            else return Value::null();
            c = nx < ny ? -1 : nx > ny ? 1 : 0;
        }
        switch (op_) {
        case Op::Eq: return truth(c == 0);
        case Op::Ne: return truth(c != 0);
        case Op::Lt: return truth(c < 0);
        case Op::Gt: return truth(c > 0);
        case Op::Le: return truth(c <= 0);
        case Op::Ge: break;
        }
        return truth(c >= 0);
    }

private:
    Op op_;
    std::unique_ptr<Node> a_, b_;
    CharStepper chars_;
    bool neverEqual_;
};

// Text of a table in another code page, converted for the text it meets.
class ConvertNode : public Node {
public:
    ConvertNode(std::unique_ptr<Node> a, CodePage from, CodePage to) : a_(std::move(a)), from_(from), to_(to) {}
    Value eval(const EvalContext& ctx) override {
        const Value v = a_->eval(ctx);
        if (!v.isText()) return v;
        scratch_.clear();
        appendConverted(scratch_, v.view(), from_, to_);
        return Value::text(scratch_);
    }

private:
    std::unique_ptr<Node> a_;
    CodePage from_, to_;
    std::string scratch_;
};

// "a + b - c & d", evaluated left to right in one loop (a chain of any
// length costs no recursion).  "+" of two texts and "&" join texts; "+" and
// "-" otherwise work on numbers, and a null or a text that is no number
// makes the result null ("&" takes a null as empty text).
class ArithmeticNode : public Node {
public:
    ArithmeticNode(std::string ops, std::vector<std::unique_ptr<Node>> terms)
        : ops_(std::move(ops)), terms_(std::move(terms)) {}
    Value eval(const EvalContext& ctx) override {
        Value acc = terms_[0]->eval(ctx);
        for (std::size_t i = 1; i < terms_.size(); ++i)
            // Two buffers in turn: a joined text is built from the previous one.
            acc = step(ops_[i - 1], acc, terms_[i]->eval(ctx), scratch_[i & 1]);
        return acc;
    }

private:
    static Value step(char op, const Value& x, const Value& y, std::string& scratch) {
        if (op == '&' || (op == '+' && x.isText() && y.isText())) {
            if (op == '+' && (x.isNull() || y.isNull())) return Value::null();
            std::string a, b;
            scratch.clear();
            if (auto t = valueText(x, a)) scratch.append(*t);
            if (auto t = valueText(y, b)) scratch.append(*t);
            return Value::text(scratch);
        }
        if (x.isNull() || y.isNull()) return Value::null();
        if (x.isNumber() && y.isNumber()) return Value::fromNumber(op == '+' ? x.number + y.number : x.number - y.number);
        auto nx = numericValue(x);
        auto ny = numericValue(y);
        if (!nx || !ny) return Value::null();
        return Value::fromNumber(op == '+' ? *nx + *ny : *nx - *ny);
    }

    std::string ops_;
    std::vector<std::unique_ptr<Node>> terms_;
    std::string scratch_[2];
};

class NegateNode : public Node {
public:
    explicit NegateNode(std::unique_ptr<Node> a) : a_(std::move(a)) {}
    Value eval(const EvalContext& ctx) override {
        auto n = numericValue(a_->eval(ctx));
        return n ? Value::fromNumber(-*n) : Value::null();
    }

private:
    std::unique_ptr<Node> a_;
};

class IsNullNode : public Node {
public:
    IsNullNode(std::unique_ptr<Node> a, bool negated) : a_(std::move(a)), negated_(negated) {}
    Value eval(const EvalContext& ctx) override { return truth(a_->eval(ctx).isNull() != negated_); }

private:
    std::unique_ptr<Node> a_;
    bool negated_;
};

class GroupKeyNode : public Node {
public:
    explicit GroupKeyNode(std::size_t index) : index_(index) {}
    Value eval(const EvalContext& ctx) override {
        const Cell& c = ctx.groupKeys[index_];
        return c.isNull() ? Value::null() : Value::text(c.data, c.size);
    }

private:
    std::size_t index_;
};

class CountNode : public Node {
public:
    explicit CountNode(std::size_t index) : index_(index) {}
    Value eval(const EvalContext& ctx) override { return Value::fromNumber(static_cast<double>(ctx.counts[index_])); }

private:
    std::size_t index_;
};

using Compiler = std::function<std::unique_ptr<Node>(const Expr&)>;

void flattenLogic(const Expr& e, Expr::Kind kind, std::vector<const Expr*>& terms) {
    if (e.kind != kind) {
        terms.push_back(&e);
        return;
    }
    for (const auto& c : e.children) flattenLogic(*c, kind, terms);
}

bool inexactLiteral(const Expr& e) { return e.kind == Expr::Kind::TextLiteral && e.inexact; }

// chars: the connection's code page (of messages); the code page each node
// steps its text in is the expression's own (Expr::encoding).
std::unique_ptr<Node> compileWith(const Expr& e, const CharStepper& chars, const Compiler& sub) {
    const CharStepper textChars(e.encoding);
    switch (e.kind) {
    case Expr::Kind::Column: return std::make_unique<ColumnNode>(e.table, e.column);
    case Expr::Kind::TextLiteral:
    case Expr::Kind::NumberLiteral:
    case Expr::Kind::NullLiteral: return std::make_unique<LiteralNode>(e);
    case Expr::Kind::Not: return std::make_unique<NotNode>(sub(*e.children[0]));
    case Expr::Kind::Negate: return std::make_unique<NegateNode>(sub(*e.children[0]));
    case Expr::Kind::And:
    case Expr::Kind::Or: {
        std::vector<const Expr*> terms;
        flattenLogic(e, e.kind, terms);
        const bool isAnd = e.kind == Expr::Kind::And;
        // Neighbouring like tests of one column with literal patterns (the
        // address conditions) become one node that reads the column once.
        auto likeOfColumn = [](const Expr* t) {
            return t->kind == Expr::Kind::Like && t->children[0]->kind == Expr::Kind::Column &&
                   t->children[1]->kind == Expr::Kind::TextLiteral;
        };
        std::vector<std::unique_ptr<Node>> nodes;
        for (std::size_t i = 0; i < terms.size();) {
            std::size_t j = i;
            if (likeOfColumn(terms[i])) {
                const Expr& column = *terms[i]->children[0];
                while (j < terms.size() && likeOfColumn(terms[j]) && terms[j]->children[0]->table == column.table &&
                       terms[j]->children[0]->column == column.column)
                    ++j;
            }
            if (j - i >= 2) {
                std::vector<LikeTest> tests;
                for (std::size_t k = i; k < j; ++k)
                    tests.push_back({terms[k]->children[1]->text, terms[k]->children[1]->encoding, terms[k]->negated});
                nodes.push_back(makeLikeChainNode(isAnd, sub(*terms[i]->children[0]), tests, CharStepper(terms[i]->encoding)));
                i = j;
            } else {
                nodes.push_back(sub(*terms[i]));
                ++i;
            }
        }
        if (nodes.size() == 1) return std::move(nodes.front());
        return std::make_unique<LogicNode>(isAnd, std::move(nodes));
    }
    case Expr::Kind::Compare: {
        const bool neverEqual = (e.text == "=" || e.text == "<>") &&
                                (inexactLiteral(*e.children[0]) || inexactLiteral(*e.children[1]));
        return std::make_unique<CompareNode>(e.text, sub(*e.children[0]), sub(*e.children[1]), textChars, neverEqual);
    }
    case Expr::Kind::Arithmetic: {
        std::vector<std::unique_ptr<Node>> terms;
        for (const auto& c : e.children) terms.push_back(sub(*c));
        return std::make_unique<ArithmeticNode>(e.text, std::move(terms));
    }
    case Expr::Kind::IsNull: return std::make_unique<IsNullNode>(sub(*e.children[0]), e.negated);
    case Expr::Kind::Like: {
        const Expr& pattern = *e.children[1];
        const std::string* literal = pattern.kind == Expr::Kind::TextLiteral ? &pattern.text : nullptr;
        return makeLikeNode(sub(*e.children[0]), sub(pattern), literal, pattern.encoding, e.negated, textChars);
    }
    case Expr::Kind::Call: {
        std::vector<std::unique_ptr<Node>> args;
        for (const auto& c : e.children) args.push_back(sub(*c));
        return makeFunctionNode(e, std::move(args), textChars, chars.codePage());
    }
    case Expr::Kind::Convert:
        return std::make_unique<ConvertNode>(sub(*e.children[0]), e.children[0]->encoding, e.encoding);
    }
    throw Error("Unsupported expression");
}

// The longest run of leading terms of a chain of + and - that is a group by
// expression: "F2+1+10" grouped by "F2+1" reads the key and adds 10.
struct LeadingKey {
    std::size_t terms;  // leading terms the key stands for (2 or more)
    std::size_t key;    // index of the group by expression
};

std::optional<LeadingKey> leadingGroupKey(const Expr& e, const GroupOutputScope& scope) {
    // The canonical text of a chain is "(" kind ":" operators, then " " and
    // each term, then ")"; a key that is a chain tells by its operators how
    // many terms it has.
    const std::string head = "(" + std::to_string(static_cast<int>(Expr::Kind::Arithmetic)) + ":";
    std::optional<LeadingKey> best;
    for (std::size_t i = 0; i < scope.keyTexts.size(); ++i) {
        const std::string& key = scope.keyTexts[i];
        if (key.compare(0, head.size(), head) != 0) continue;
        const std::size_t blank = key.find(' ', head.size());
        if (blank == std::string::npos) continue;
        const std::size_t ops = blank - head.size();
        const std::size_t terms = ops + 1;
        if (terms >= e.children.size() || (best && best->terms >= terms)) continue;
        if (key.compare(head.size(), ops, e.text, 0, ops) != 0) continue;
        std::string prefix = head + e.text.substr(0, ops);
        for (std::size_t j = 0; j < terms && prefix.size() <= key.size(); ++j) prefix += " " + canonicalText(*e.children[j]);
        if (prefix + ")" == key) best = LeadingKey{terms, i};
    }
    return best;
}

}  // namespace

void checkFunctions(const Expr& e) {
    if (e.kind == Expr::Kind::Call) {
        if (e.isAggregate()) {
            if (e.star ? !e.children.empty() : e.children.size() != 1)
                throw Error("count() takes one column or *");
        } else {
            checkFunctionCall(e);
        }
    }
    for (const auto& c : e.children) checkFunctions(*c);
}

std::unique_ptr<Node> compileRowExpression(const Expr& e, const CharStepper& chars, const char* clause) {
    if (e.isAggregate()) throw Error(std::string("count() cannot be used in ") + clause);
    Compiler sub = [&](const Expr& c) { return compileRowExpression(c, chars, clause); };
    return compileWith(e, chars, sub);
}

std::unique_ptr<Node> compileGroupExpression(const Expr& e, const CharStepper& chars, GroupOutputScope& scope) {
    const std::string text = canonicalText(e);
    for (std::size_t i = 0; i < scope.keyTexts.size(); ++i)
        if (scope.keyTexts[i] == text) return std::make_unique<GroupKeyNode>(i);
    if (e.isAggregate()) {
        for (std::size_t i = 0; i < scope.aggregateTexts.size(); ++i)
            if (scope.aggregateTexts[i] == text) return std::make_unique<CountNode>(i);
        scope.aggregates.push_back(&e);
        scope.aggregateTexts.push_back(text);
        return std::make_unique<CountNode>(scope.aggregates.size() - 1);
    }
    if (e.kind == Expr::Kind::Column)
        throw Error("The column [" + e.name + "] must be counted or named in group by");
    Compiler sub = [&](const Expr& c) { return compileGroupExpression(c, chars, scope); };
    if (e.kind == Expr::Kind::Arithmetic) {
        if (const auto lead = leadingGroupKey(e, scope)) {
            std::vector<std::unique_ptr<Node>> terms;
            terms.push_back(std::make_unique<GroupKeyNode>(lead->key));
            for (std::size_t j = lead->terms; j < e.children.size(); ++j) terms.push_back(sub(*e.children[j]));
            return std::make_unique<ArithmeticNode>(e.text.substr(lead->terms - 1), std::move(terms));
        }
    }
    return compileWith(e, chars, sub);
}

}  // namespace engine
