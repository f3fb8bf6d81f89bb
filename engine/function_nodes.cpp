#include "engine/function_nodes.h"

#include <cmath>
#include <cstring>

#include "engine/engine.h"
#include "engine/like_matcher.h"
#include "engine/text_convert.h"
#include "engine/text_fold.h"
#include "engine/text_functions.h"

namespace engine {
namespace {

Value truth(bool b) { return Value::fromNumber(b ? 1 : 0); }

std::string folded(const std::string& s) {
    std::string f;
    for (char c : s) f.push_back(foldAscii(c));
    return f;
}

class LikeNode : public Node {
public:
    LikeNode(std::unique_ptr<Node> subject, std::unique_ptr<Node> pattern, const std::string* literal,
             CodePage literalCodePage, bool negated, const CharStepper& chars)
        : subject_(std::move(subject)), pattern_(std::move(pattern)), negated_(negated), chars_(chars) {
        if (literal) fixed_ = std::make_unique<LikeMatcher>(*literal, literalCodePage, chars);
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
        if (!matcher->mayMatch(text)) return truth(negated_);
        // The conditions test one column many times: decide once per value
        // whether it is single-byte text.
        return truth(matcher->matches(text, ctx.asciiOf(text)) != negated_);
    }

private:
    std::unique_ptr<Node> subject_, pattern_;
    bool negated_;
    CharStepper chars_;
    std::unique_ptr<LikeMatcher> fixed_, dynamic_;
    std::string dynamicText_, numberText_;
};

class LikeChainNode : public Node {
public:
    LikeChainNode(bool isAnd, std::unique_ptr<Node> subject, const std::vector<LikeTest>& tests,
                  const CharStepper& chars)
        : isAnd_(isAnd), subject_(std::move(subject)) {
        for (const auto& t : tests) tests_.push_back({LikeMatcher(t.pattern, t.patternCodePage, chars), t.negated});
    }
    Value eval(const EvalContext& ctx) override {
        const Value s = subject_->eval(ctx);
        if (s.isNull()) return s;  // every test is null, and so is the chain
        const std::string_view text = s.isText() ? s.view() : std::string_view(numberText_ = formatNumber(s.number));
        const bool ascii = ctx.asciiOf(text);
        for (const auto& t : tests_) {
            const bool matched = t.matcher.mayMatch(text) && t.matcher.matches(text, ascii);
            if ((matched != t.negated) != isAnd_) return truth(!isAnd_);
        }
        return truth(isAnd_);
    }

private:
    struct Test {
        LikeMatcher matcher;
        bool negated;
    };
    bool isAnd_;
    std::unique_ptr<Node> subject_;
    std::vector<Test> tests_;
    std::string numberText_;
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

// The functions without a node of their own: ucase, left, right, trim, and
// instr with a start.
class FunctionNode : public Node {
public:
    FunctionNode(Function f, std::vector<std::unique_ptr<Node>> args, std::string name, const CharStepper& chars,
                 CodePage messages)
        : f_(f), args_(std::move(args)), name_(std::move(name)), chars_(chars), messages_(messages) {}

    Value eval(const EvalContext& ctx) override {
        Value a[3];
        for (std::size_t i = 0; i < args_.size(); ++i) {
            a[i] = args_[i]->eval(ctx);
            if (a[i].isNull()) return Value::null();
        }
        switch (f_) {
        case Function::UCase: {
            auto t = valueText(a[0], numberText_);
            scratch_.clear();
            appendFolded(scratch_, *t, chars_);
            upper();
            return Value::text(scratch_);
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
        case Function::LCase:
        case Function::Len:
        case Function::Mid: break;  // nodes of their own (makeFunctionNode)
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
                            converted(v.view(), chars_.codePage(), messages_) + "\"");
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
    CodePage messages_;
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
        return Value::fromNumber(static_cast<double>(textLength(v.view(), ctx.asciiOf(v.view()), chars_)));
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
        return Value::fromNumber(static_cast<double>(textInstr(hay, needle, ctx.asciiOf(hay), 1, chars_)));
    }

private:
    std::unique_ptr<Node> a_, b_;
    CharStepper chars_;
    std::string n1_, n2_;
};

class MidNode : public Node {
public:
    MidNode(std::vector<std::unique_ptr<Node>> args, const CharStepper& chars, CodePage messages)
        : args_(std::move(args)), chars_(chars), messages_(messages) {}
    Value eval(const EvalContext& ctx) override {
        const Value s = args_[0]->eval(ctx);
        if (s.isNull()) return s;
        const Value p = args_[1]->eval(ctx);
        if (p.isNull()) return p;
        double start = p.isNumber() ? p.number : number(p, "start", chars_.codePage(), messages_);
        start = std::floor(start);
        if (start < 1) throw Error("The start of mid() must be 1 or more, not " + formatNumber(start));
        double count = 1e18;
        if (args_.size() == 3) {
            const Value n = args_[2]->eval(ctx);
            if (n.isNull()) return n;
            count = std::floor(n.isNumber() ? n.number : number(n, "length", chars_.codePage(), messages_));
            if (count < 0) throw Error("The length of mid() must not be negative");
        }
        const std::string_view text = s.isText() ? s.view() : std::string_view(n_ = formatNumber(s.number));
        const double big = 4e18;
        return Value::text(textMid(text, ctx.asciiOf(text), static_cast<std::size_t>(std::min(start, big)),
                                   static_cast<std::size_t>(std::min(count, big)), chars_));
    }

protected:
    static double number(const Value& v, const char* what, CodePage text, CodePage messages) {
        auto n = numericValue(v);
        if (!n)
            throw Error("The " + std::string(what) + " given to mid() is not a number: \"" +
                        converted(v.view(), text, messages) + "\"");
        return *n;
    }
    std::vector<std::unique_ptr<Node>> args_;
    CharStepper chars_;
    CodePage messages_;
    std::string n_;
};

// mid(x, instr(x, '@') + 1, len(x)) of the domain statement: the text after
// the first "@", or all of it when there is none.  ⚡ A text of single-byte
// characters is cut at memchr's "@"; any other text takes the same steps as
// the three functions; a value that is not a text takes mid()'s own path.
class AfterFirstAtNode : public MidNode {
public:
    using MidNode::MidNode;
    Value eval(const EvalContext& ctx) override {
        const Value s = args_[0]->eval(ctx);
        if (!s.isText()) return MidNode::eval(ctx);
        const std::string_view text = s.view();
        if (ctx.asciiOf(text)) {
            const void* at = std::memchr(text.data(), '@', text.size());
            if (at == nullptr) return s;
            return Value::text(text.substr(static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) + 1));
        }
        const std::size_t at = textInstr(text, "@", false, 1, chars_);
        return Value::text(textMid(text, false, at + 1, textLength(text, false, chars_), chars_));
    }
};

// Whether call is mid(x, instr(x, '@') + 1, len(x)) with x one column.
bool isAfterFirstAt(const Expr& call) {
    auto isCall = [](const Expr& e, const char* name, std::size_t args) {
        return e.kind == Expr::Kind::Call && !e.star && e.children.size() == args && folded(e.name) == name;
    };
    auto sameColumn = [](const Expr& a, const Expr& b) {
        return a.kind == Expr::Kind::Column && b.kind == Expr::Kind::Column && a.table == b.table &&
               a.column == b.column;
    };
    if (!isCall(call, "mid", 3)) return false;
    const Expr& x = *call.children[0];
    const Expr& start = *call.children[1];
    const Expr& count = *call.children[2];
    if (start.kind != Expr::Kind::Arithmetic || start.text != "+") return false;
    const Expr& instr = *start.children[0];
    const Expr& one = *start.children[1];
    if (one.kind != Expr::Kind::NumberLiteral || one.number != 1) return false;
    if (!isCall(instr, "instr", 2) || !sameColumn(*instr.children[0], x)) return false;
    const Expr& at = *instr.children[1];
    if (at.kind != Expr::Kind::TextLiteral || at.inexact || at.text != "@") return false;
    return isCall(count, "len", 1) && sameColumn(*count.children[0], x);
}

// instr() of a text that cannot occur: 0, or null when an argument is null.
class NotFoundNode : public Node {
public:
    explicit NotFoundNode(std::vector<std::unique_ptr<Node>> args) : args_(std::move(args)) {}
    Value eval(const EvalContext& ctx) override {
        for (auto& a : args_)
            if (a->eval(ctx).isNull()) return Value::null();
        return Value::fromNumber(0);
    }

private:
    std::vector<std::unique_ptr<Node>> args_;
};

}  // namespace

std::unique_ptr<Node> makeLikeNode(std::unique_ptr<Node> subject, std::unique_ptr<Node> pattern,
                                   const std::string* literal, CodePage literalCodePage, bool negated,
                                   const CharStepper& chars) {
    return std::make_unique<LikeNode>(std::move(subject), std::move(pattern), literal, literalCodePage, negated, chars);
}

void checkFunctionCall(const Expr& call) { lookup(call); }

std::unique_ptr<Node> makeLikeChainNode(bool isAnd, std::unique_ptr<Node> subject, const std::vector<LikeTest>& tests,
                                        const CharStepper& chars) {
    return std::make_unique<LikeChainNode>(isAnd, std::move(subject), tests, chars);
}

std::unique_ptr<Node> makeFunctionNode(const Expr& e, std::vector<std::unique_ptr<Node>> args,
                                       const CharStepper& chars, CodePage messages) {
    const FunctionInfo& f = lookup(e);
    switch (f.id) {
    case Function::LCase: return std::make_unique<LCaseNode>(std::move(args[0]), chars);
    case Function::Len: return std::make_unique<LenNode>(std::move(args[0]), chars);
    case Function::Mid:
        if (isAfterFirstAt(e)) return std::make_unique<AfterFirstAtNode>(std::move(args), chars, messages);
        return std::make_unique<MidNode>(std::move(args), chars, messages);
    case Function::InStr: {
        // A sought literal that the text's code page cannot hold is in no text.
        const Expr& needle = *e.children.back();
        if (needle.kind == Expr::Kind::TextLiteral && needle.inexact) return std::make_unique<NotFoundNode>(std::move(args));
        if (args.size() == 2) return std::make_unique<InStrNode>(std::move(args[0]), std::move(args[1]), chars);
        break;
    }
    default: break;
    }
    return std::make_unique<FunctionNode>(f.id, std::move(args), e.name, chars, messages);
}

}  // namespace engine
