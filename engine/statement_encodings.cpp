#include "engine/statement_encodings.h"

#include <string>

#include "engine/char_stepper.h"
#include "engine/text_convert.h"

namespace engine {
namespace {

enum class Function { PassThrough, Length, InStr, Other };

// lcase, ucase, trim, mid, left, right give text in the encoding of their first argument.
Function functionOf(const Expr& e) {
    std::string name;
    for (char c : e.name) name.push_back(foldAscii(c));
    if (name == "lcase" || name == "ucase" || name == "trim" || name == "mid" || name == "left" || name == "right")
        return Function::PassThrough;
    if (name == "len") return Function::Length;
    if (name == "instr") return Function::InStr;
    return Function::Other;
}

// A chain of + - & (one Expr, its terms side by side) stands for the tree
// ((t0 o1 t1) o2 t2) ...: step k joins the chain's first k terms with term k.
// A step of + or & is a concatenation, one of - makes a number.
bool isConcatenation(char op) { return op == '+' || op == '&'; }

bool freeText(const Expr& e);

// Whether the first k + 1 terms of a chain, as a tree, are made of literals
// somewhere along their concatenations; for every k.
std::vector<bool> chainFreeText(const Expr& chain) {
    std::vector<bool> free(chain.children.size());
    free[0] = freeText(*chain.children[0]);
    for (std::size_t k = 1; k < free.size(); ++k)
        free[k] = isConcatenation(chain.text[k - 1]) && (free[k - 1] || freeText(*chain.children[k]));
    return free;
}

// Whether an expression that holds no table's text is made of literals.
bool freeText(const Expr& e) {
    if (e.kind == Expr::Kind::TextLiteral) return true;
    if (e.kind == Expr::Kind::Call && functionOf(e) == Function::PassThrough)
        return !e.children.empty() && freeText(*e.children[0]);
    if (e.kind == Expr::Kind::Arithmetic) return chainFreeText(e).back();
    return false;
}

}  // namespace

StatementEncodings::StatementEncodings(CodePage statement, std::vector<CodePage> tables)
    : statement_(statement), fallback_(tables.empty() ? statement : tables.front()), tables_(std::move(tables)) {}

void StatementEncodings::settle(Expr& e) {
    if (infer(e).text == Text::Free) assign(e, fallback_);
}

StatementEncodings::Kind StatementEncodings::infer(Expr& e) {
    const Kind neutral{Text::Neutral, fallback_};
    switch (e.kind) {
    case Expr::Kind::Column:
        e.encoding = tables_[static_cast<std::size_t>(e.table)];
        return {Text::Fixed, e.encoding};
    case Expr::Kind::TextLiteral:
        e.encoding = statement_;
        return {Text::Free, statement_};
    case Expr::Kind::Compare:
    case Expr::Kind::Like:
        e.encoding = *unify(e, 0, e.children.size(), e.kind == Expr::Kind::Like, fallback_).encoding;
        return neutral;
    case Expr::Kind::Arithmetic: return inferChain(e);
    case Expr::Kind::Call:
        switch (functionOf(e)) {
        case Function::PassThrough: {
            for (std::size_t i = 1; i < e.children.size(); ++i) settle(*e.children[i]);
            const Kind k = infer(*e.children[0]);
            e.encoding = k.text == Text::Neutral ? fallback_ : k.encoding;
            return k;
        }
        case Function::Length:
            settle(*e.children[0]);
            e.encoding = e.children[0]->encoding;
            return neutral;
        case Function::InStr: {
            const std::size_t first = e.children.size() == 3 ? 1 : 0;
            if (first == 1) settle(*e.children[0]);
            e.encoding = *unify(e, first, first + 2, false, fallback_).encoding;
            return neutral;
        }
        case Function::Other: break;
        }
        break;
    default: break;
    }
    // No text of its own (truth values, numbers, count): each part on its own.
    for (auto& c : e.children) settle(*c);
    e.encoding = fallback_;
    return neutral;
}

StatementEncodings::Unified StatementEncodings::unify(Expr& e, std::size_t first, std::size_t last,
                                                      bool keepPatternLiteral, std::optional<CodePage> otherwise) {
    std::vector<Kind> kinds;
    Unified u;
    std::optional<CodePage> fixed;
    for (std::size_t i = first; i < last; ++i) {
        kinds.push_back(infer(*e.children[i]));
        if (kinds.back().text == Text::Fixed && !fixed) fixed = kinds.back().encoding;
        if (kinds.back().text == Text::Free) u.anyFree = true;
    }
    u.encoding = fixed ? fixed : otherwise;
    if (!u.encoding) return u;
    const CodePage target = *u.encoding;
    for (std::size_t i = first; i < last; ++i) {
        auto& child = e.children[i];
        const Kind& k = kinds[i - first];
        if (k.text == Text::Free) {
            // A like pattern literal is converted by the like matcher.
            if (keepPatternLiteral && i == 1 && child->kind == Expr::Kind::TextLiteral) continue;
            assign(*child, target);
        } else if (k.text == Text::Fixed && k.encoding != target) {
            auto convert = std::make_unique<Expr>();
            convert->kind = Expr::Kind::Convert;
            convert->encoding = target;
            convert->text = codePageName(target);
            convert->offset = child->offset;
            convert->children.push_back(std::move(child));
            child = std::move(convert);
        }
    }
    return u;
}

// Step by step as the tree the chain stands for, without recursion per term:
// a concatenation settles the text so far and the next term as one text (the
// first table's text decides; free parts are converted into it, another
// table's text gets a Convert), a "-" settles each side on its own.
StatementEncodings::Kind StatementEncodings::inferChain(Expr& e) {
    const std::vector<bool> free = chainFreeText(e);
    Kind sofar = infer(*e.children[0]);
    for (std::size_t k = 1; k < e.children.size(); ++k) {
        auto& term = e.children[k];
        if (!isConcatenation(e.text[k - 1])) {
            if (sofar.text == Text::Free) assignChain(e, k - 1, free, fallback_);
            settle(*term);
            sofar = {Text::Neutral, fallback_};
            continue;
        }
        const Kind next = infer(*term);
        std::optional<CodePage> fixed;
        if (sofar.text == Text::Fixed) fixed = sofar.encoding;
        else if (next.text == Text::Fixed) fixed = next.encoding;
        if (!fixed) {
            const bool anyFree = sofar.text == Text::Free || next.text == Text::Free;
            sofar = anyFree ? Kind{Text::Free, statement_} : Kind{Text::Neutral, fallback_};
            continue;
        }
        if (sofar.text == Text::Free) assignChain(e, k - 1, free, *fixed);
        if (next.text == Text::Free) {
            assign(*term, *fixed);
        } else if (next.text == Text::Fixed && next.encoding != *fixed) {
            auto convert = std::make_unique<Expr>();
            convert->kind = Expr::Kind::Convert;
            convert->encoding = *fixed;
            convert->text = codePageName(*fixed);
            convert->offset = term->offset;
            convert->children.push_back(std::move(term));
            term = std::move(convert);
        }
        sofar = {Text::Fixed, *fixed};
    }
    e.encoding = sofar.encoding;
    return sofar;
}

// Gives the free parts of the chain's first k + 1 terms (as a tree) the
// encoding target: from step k down, each concatenation's term, as long as
// the text before it still has free parts.
void StatementEncodings::assignChain(Expr& e, std::size_t k, const std::vector<bool>& free, CodePage target) {
    for (;; --k) {
        Expr& term = *e.children[k];
        if (k == 0) {
            assign(term, target);
            return;
        }
        if (freeText(term)) assign(term, target);
        if (!free[k - 1]) return;
    }
}

void StatementEncodings::assign(Expr& e, CodePage target) {
    if (e.kind == Expr::Kind::TextLiteral) {
        if (e.encoding == target) return;
        std::string text;
        e.inexact = !appendConverted(text, e.text, e.encoding, target);
        e.text = std::move(text);
        e.encoding = target;
        return;
    }
    e.encoding = target;
    if (e.kind == Expr::Kind::Arithmetic) {
        const std::vector<bool> free = chainFreeText(e);
        if (free.back()) assignChain(e, e.children.size() - 1, free, target);
        return;
    }
    if (e.kind == Expr::Kind::Call) {
        if (!e.children.empty() && freeText(*e.children[0])) assign(*e.children[0], target);
        return;
    }
    for (auto& c : e.children)
        if (freeText(*c)) assign(*c, target);
}

}  // namespace engine
