#include "engine/expression.h"

#include <cmath>
#include <functional>

#include "engine/engine.h"
#include "engine/like_matcher.h"
#include "engine/text_fold.h"
#include "engine/text_functions.h"

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

std::string folded(const std::string& s) {
    std::string f;
    for (char c : s) f.push_back(foldAscii(c));
    return f;
}

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
    CompareNode(const std::string& op, std::unique_ptr<Node> a, std::unique_ptr<Node> b, const CharStepper& chars)
        : op_(op == "=" ? Op::Eq : op == "<>" ? Op::Ne : op == "<" ? Op::Lt : op == ">" ? Op::Gt : op == "<=" ? Op::Le : Op::Ge),
          a_(std::move(a)), b_(std::move(b)), chars_(chars) {}
    Value eval(const EvalContext& ctx) override {
        const Value x = a_->eval(ctx);
        if (x.isNull()) return x;
        const Value y = b_->eval(ctx);
        if (y.isNull()) return y;
        int c;
        if (x.isText() && y.isText()) {
            if (op_ == Op::Eq || op_ == Op::Ne) {
                const bool eq = equalFolded(x.view(), y.view(), chars_);
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
};

class ArithmeticNode : public Node {
public:
    ArithmeticNode(char op, std::unique_ptr<Node> a, std::unique_ptr<Node> b)
        : op_(op), a_(std::move(a)), b_(std::move(b)) {}
    Value eval(const EvalContext& ctx) override {
        const Value x = a_->eval(ctx);
        const Value y = b_->eval(ctx);
        if (op_ == '&' || (op_ == '+' && x.isText() && y.isText())) {
            if (op_ == '+' && (x.isNull() || y.isNull())) return Value::null();
            std::string a, b;
            scratch_.clear();
            if (auto t = valueText(x, a)) scratch_.append(*t);
            if (auto t = valueText(y, b)) scratch_.append(*t);
            return Value::text(scratch_);
        }
        if (x.isNull() || y.isNull()) return Value::null();
        if (x.isNumber() && y.isNumber()) return Value::fromNumber(op_ == '+' ? x.number + y.number : x.number - y.number);
        auto nx = numericValue(x);
        auto ny = numericValue(y);
        if (!nx || !ny) return Value::null();
        return Value::fromNumber(op_ == '+' ? *nx + *ny : *nx - *ny);
    }

private:
    char op_;
    std::unique_ptr<Node> a_, b_;
    std::string scratch_;
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

class LikeNode : public Node {
public:
    LikeNode(std::unique_ptr<Node> subject, std::unique_ptr<Node> pattern, const Expr* literal, bool negated,
             const CharStepper& chars)
        : subject_(std::move(subject)), pattern_(std::move(pattern)), negated_(negated), chars_(chars) {
        if (literal) fixed_ = std::make_unique<LikeMatcher>(literal->text, chars);
    }
    Value eval(const EvalContext& ctx) override {
        const Value s = subject_->eval(ctx);
        if (s.isNull()) return s;
        std::string_view text = s.isText() ? s.view() : std::string_view(numberText_ = formatNumber(s.number));
        const LikeMatcher* matcher = fixed_.get();
        if (!matcher) {
            const Value p = pattern_->eval(ctx);
            if (p.isNull()) return Value::null();
            const std::string pt = p.isText() ? std::string(p.view()) : formatNumber(p.number);
            if (!dynamic_ || pt != dynamicText_) {
                dynamicText_ = pt;
                dynamic_ = std::make_unique<LikeMatcher>(dynamicText_, chars_);
            }
            matcher = dynamic_.get();
        }
        // The conditions test one column many times: decide once per value
        // whether it is single-byte text.
        if (ctx.asciiData != text.data() || ctx.asciiSize != text.size()) {
            ctx.asciiData = text.data();
            ctx.asciiSize = text.size();
            ctx.ascii = isAscii(text.data(), text.size());
        }
        return truth(matcher->matches(text, ctx.ascii) != negated_);
    }

private:
    std::unique_ptr<Node> subject_, pattern_;
    bool negated_;
    CharStepper chars_;
    std::unique_ptr<LikeMatcher> fixed_, dynamic_;
    std::string dynamicText_, numberText_;
};

enum class Function { LCase, UCase, Len, Mid, InStr, Left, Right, Trim };

struct FunctionInfo {
    const char* name;
    Function id;
    std::size_t minArgs, maxArgs;
};

const FunctionInfo kFunctions[] = {
    {"lcase", Function::LCase, 1, 1}, {"ucase", Function::UCase, 1, 1}, {"len", Function::Len, 1, 1},
    {"mid", Function::Mid, 2, 3},     {"instr", Function::InStr, 2, 3}, {"left", Function::Left, 2, 2},
    {"right", Function::Right, 2, 2}, {"trim", Function::Trim, 1, 1},
};

const FunctionInfo& lookup(const Expr& e) {
    const std::string n = folded(e.name);
    for (const auto& f : kFunctions)
        if (n == f.name) {
            if (e.children.size() < f.minArgs || e.children.size() > f.maxArgs || e.star)
                throw Error("Wrong number of arguments for the function " + e.name + "()");
            return f;
        }
    throw Error("Unknown function " + e.name + "()");
}

class FunctionNode : public Node {
public:
    FunctionNode(Function f, std::vector<std::unique_ptr<Node>> args, std::string name, const CharStepper& chars)
        : f_(f), args_(std::move(args)), name_(std::move(name)), chars_(chars) {}

    Value eval(const EvalContext& ctx) override {
        Value a[3];
        for (std::size_t i = 0; i < args_.size(); ++i) {
            a[i] = args_[i]->eval(ctx);
            if (a[i].isNull()) return Value::null();
        }
        switch (f_) {
        case Function::LCase:
        case Function::UCase: {
            auto t = valueText(a[0], numberText_);
            scratch_.clear();
            appendFolded(scratch_, *t, chars_);
            if (f_ == Function::UCase) upper();
            return Value::text(scratch_);
        }
        case Function::Len: return Value::fromNumber(static_cast<double>(textLength(*valueText(a[0], numberText_), chars_)));
        case Function::Mid: {
            const std::string_view s = keepText(a[0]);
            const double start = number(a[1], "start");
            if (start < 1) throw Error("The start of mid() must be 1 or more, not " + formatNumber(start));
            double count = 1e18;
            if (args_.size() == 3) {
                count = number(a[2], "length");
                if (count < 0) throw Error("The length of mid() must not be negative");
            }
            return Value::text(textMid(s, static_cast<std::size_t>(start), static_cast<std::size_t>(count), chars_));
        }
        case Function::InStr: {
            std::size_t start = 1;
            std::size_t si = 0;
            if (args_.size() == 3) {
                const double st = number(a[0], "start");
                if (st < 1) throw Error("The start of instr() must be 1 or more, not " + formatNumber(st));
                start = static_cast<std::size_t>(st);
                si = 1;
            }
            std::string hay, needle;
            auto h = valueText(a[si], hay);
            auto n = valueText(a[si + 1], needle);
            return Value::fromNumber(static_cast<double>(textInstr(*h, *n, start, chars_)));
        }
        case Function::Left:
        case Function::Right: {
            const std::string_view s = keepText(a[0]);
            const double n = number(a[1], "length");
            if (n < 0) throw Error("The length of " + name_ + "() must not be negative");
            const std::size_t len = textLength(s, chars_);
            const std::size_t take = static_cast<std::size_t>(std::min<double>(n, static_cast<double>(len)));
            if (f_ == Function::Left) return Value::text(textMid(s, 1, take, chars_));
            return Value::text(textMid(s, len - take + 1, take, chars_));
        }
        case Function::Trim: {
            std::string_view s = keepText(a[0]);
            while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
            while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
            return Value::text(s);
        }
        }
        return Value::null();
    }

private:
    std::string_view keepText(const Value& v) {
        if (v.isText()) return v.view();
        numberText_ = formatNumber(v.number);
        return numberText_;
    }
    double number(const Value& v, const char* what) {
        auto n = numericValue(v);
        if (!n) throw Error("The " + std::string(what) + " given to " + name_ + "() is not a number: \"" +
                            std::string(v.view()) + "\"");
        return std::floor(*n);
    }
    void upper() {
        char* p = scratch_.data();
        char* end = p + scratch_.size();
        while (p < end) {
            const std::size_t len = chars_.length(p, end);
            if (len == 1 && *p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 32);
            p += len;
        }
    }

    Function f_;
    std::vector<std::unique_ptr<Node>> args_;
    std::string name_;
    CharStepper chars_;
    std::string scratch_, numberText_;
};

// The functions of the domain statement and of the classification, without
// the generic argument handling.
class LCaseNode : public Node {
public:
    LCaseNode(std::unique_ptr<Node> a, const CharStepper& chars) : a_(std::move(a)), chars_(chars) {}
    Value eval(const EvalContext& ctx) override {
        const Value v = a_->eval(ctx);
        if (v.isNull()) return v;
        scratch_.clear();
        appendFolded(scratch_, v.isText() ? v.view() : std::string_view(number_ = formatNumber(v.number)), chars_);
        return Value::text(scratch_);
    }

private:
    std::unique_ptr<Node> a_;
    CharStepper chars_;
    std::string scratch_, number_;
};

class LenNode : public Node {
public:
    LenNode(std::unique_ptr<Node> a, const CharStepper& chars) : a_(std::move(a)), chars_(chars) {}
    Value eval(const EvalContext& ctx) override {
        const Value v = a_->eval(ctx);
        if (v.isNull()) return v;
        if (!v.isText()) return Value::fromNumber(static_cast<double>(formatNumber(v.number).size()));
        return Value::fromNumber(static_cast<double>(textLength(v.view(), chars_)));
    }

private:
    std::unique_ptr<Node> a_;
    CharStepper chars_;
};

class InStrNode : public Node {
public:
    InStrNode(std::unique_ptr<Node> a, std::unique_ptr<Node> b, const CharStepper& chars)
        : a_(std::move(a)), b_(std::move(b)), chars_(chars) {}
    Value eval(const EvalContext& ctx) override {
        const Value s = a_->eval(ctx);
        if (s.isNull()) return s;
        const Value t = b_->eval(ctx);
        if (t.isNull()) return t;
        const std::string_view hay = s.isText() ? s.view() : std::string_view(n1_ = formatNumber(s.number));
        const std::string_view needle = t.isText() ? t.view() : std::string_view(n2_ = formatNumber(t.number));
        return Value::fromNumber(static_cast<double>(textInstr(hay, needle, 1, chars_)));
    }

private:
    std::unique_ptr<Node> a_, b_;
    CharStepper chars_;
    std::string n1_, n2_;
};

class MidNode : public Node {
public:
    MidNode(std::vector<std::unique_ptr<Node>> args, const CharStepper& chars) : args_(std::move(args)), chars_(chars) {}
    Value eval(const EvalContext& ctx) override {
        const Value s = args_[0]->eval(ctx);
        if (s.isNull()) return s;
        const Value p = args_[1]->eval(ctx);
        if (p.isNull()) return p;
        double start = p.isNumber() ? p.number : number(p, "start");
        start = std::floor(start);
        if (start < 1) throw Error("The start of mid() must be 1 or more, not " + formatNumber(start));
        double count = 1e18;
        if (args_.size() == 3) {
            const Value n = args_[2]->eval(ctx);
            if (n.isNull()) return n;
            count = std::floor(n.isNumber() ? n.number : number(n, "length"));
            if (count < 0) throw Error("The length of mid() must not be negative");
        }
        const std::string_view text = s.isText() ? s.view() : std::string_view(n_ = formatNumber(s.number));
        const double big = 4e18;
        return Value::text(textMid(text, static_cast<std::size_t>(std::min(start, big)),
                                   static_cast<std::size_t>(std::min(count, big)), chars_));
    }

private:
    static double number(const Value& v, const char* what) {
        auto n = numericValue(v);
        if (!n) throw Error("The " + std::string(what) + " given to mid() is not a number: \"" + std::string(v.view()) + "\"");
        return *n;
    }
    std::vector<std::unique_ptr<Node>> args_;
    CharStepper chars_;
    std::string n_;
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

std::unique_ptr<Node> compileWith(const Expr& e, const CharStepper& chars, const Compiler& sub) {
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
        std::vector<std::unique_ptr<Node>> nodes;
        for (const Expr* t : terms) nodes.push_back(sub(*t));
        return std::make_unique<LogicNode>(e.kind == Expr::Kind::And, std::move(nodes));
    }
    case Expr::Kind::Compare:
        return std::make_unique<CompareNode>(e.text, sub(*e.children[0]), sub(*e.children[1]), chars);
    case Expr::Kind::Arithmetic:
        return std::make_unique<ArithmeticNode>(e.text[0], sub(*e.children[0]), sub(*e.children[1]));
    case Expr::Kind::IsNull: return std::make_unique<IsNullNode>(sub(*e.children[0]), e.negated);
    case Expr::Kind::Like: {
        const Expr& pattern = *e.children[1];
        const Expr* literal = pattern.kind == Expr::Kind::TextLiteral ? &pattern : nullptr;
        return std::make_unique<LikeNode>(sub(*e.children[0]), sub(pattern), literal, e.negated, chars);
    }
    case Expr::Kind::Call: {
        const FunctionInfo& f = lookup(e);
        std::vector<std::unique_ptr<Node>> args;
        for (const auto& c : e.children) args.push_back(sub(*c));
        switch (f.id) {
        case Function::LCase: return std::make_unique<LCaseNode>(std::move(args[0]), chars);
        case Function::Len: return std::make_unique<LenNode>(std::move(args[0]), chars);
        case Function::Mid: return std::make_unique<MidNode>(std::move(args), chars);
        case Function::InStr:
            if (args.size() == 2) return std::make_unique<InStrNode>(std::move(args[0]), std::move(args[1]), chars);
            break;
        default: break;
        }
        return std::make_unique<FunctionNode>(f.id, std::move(args), e.name, chars);
    }
    }
    throw Error("Unsupported expression");
}

}  // namespace

void checkFunctions(const Expr& e) {
    if (e.kind == Expr::Kind::Call) {
        if (e.isAggregate()) {
            if (e.star ? !e.children.empty() : e.children.size() != 1)
                throw Error("count() takes one column or *");
        } else {
            lookup(e);
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
    return compileWith(e, chars, sub);
}

}  // namespace engine
