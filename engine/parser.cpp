#include "engine/parser.h"

#include <charconv>

#include "engine/engine.h"
#include "engine/tokenizer.h"
#include "engine/value.h"

namespace engine {
namespace {

const char* const kReserved[] = {"select", "distinct", "top", "from", "where", "group", "by", "order", "as",
                                 "and", "or", "not", "like", "is", "null", "inner", "left", "outer", "join",
                                 "on", "asc", "desc"};

class Parser {
public:
    Parser(std::string_view statement, const CharStepper& chars)
        : statement_(statement), chars_(chars), tokens_(tokenize(statement, chars)) {}

    SelectStatement parse() {
        SelectStatement s;
        expectWord("select");
        for (;;) {
            if (acceptWord("distinct")) {
                s.distinct = true;
            } else if (peek().isWord("top")) {
                next();
                const Token& n = next();
                std::uint64_t value = 0;
                auto res = std::from_chars(n.text.data(), n.text.data() + n.text.size(), value);
                if (n.kind != Token::Kind::Number || res.ptr != n.text.data() + n.text.size())
                    fail(n, "a whole number after \"top\"");
                s.top = value;
            } else {
                break;
            }
        }
        s.items.push_back(selectItem());
        while (acceptSymbol(",")) s.items.push_back(selectItem());
        expectWord("from");
        s.from = tableRef();
        if (peek().isWord("inner") || peek().isWord("left") || peek().isWord("join")) {
            JoinClause j;
            if (acceptWord("left")) {
                j.left = true;
                acceptWord("outer");
            } else {
                acceptWord("inner");
            }
            expectWord("join");
            j.table = tableRef();
            expectWord("on");
            j.on = expression();
            s.join = std::move(j);
        }
        if (acceptWord("where")) s.where = expression();
        if (acceptWord("group")) {
            expectWord("by");
            s.groupBy.push_back(expression());
            while (acceptSymbol(",")) s.groupBy.push_back(expression());
        }
        if (acceptWord("order")) {
            expectWord("by");
            do {
                OrderItem item;
                item.expr = expression();
                if (acceptWord("desc")) item.descending = true;
                else acceptWord("asc");
                s.orderBy.push_back(std::move(item));
            } while (acceptSymbol(","));
        }
        acceptSymbol(";");
        if (peek().kind != Token::Kind::End) fail(peek(), "the end of the statement");
        return s;
    }

private:
    const Token& peek(std::size_t ahead = 0) const {
        const std::size_t i = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[i];
    }
    const Token& next() {
        const Token& t = tokens_[pos_];
        if (pos_ + 1 < tokens_.size()) ++pos_;
        return t;
    }
    bool acceptWord(std::string_view w) {
        if (!peek().isWord(w)) return false;
        next();
        return true;
    }
    bool acceptSymbol(std::string_view s) {
        if (!peek().isSymbol(s)) return false;
        next();
        return true;
    }
    void expectWord(std::string_view w) {
        if (!acceptWord(w)) fail(peek(), "\"" + std::string(w) + "\"");
    }
    void expectSymbol(std::string_view s) {
        if (!acceptSymbol(s)) fail(peek(), "\"" + std::string(s) + "\"");
    }

    [[noreturn]] void fail(const Token& t, const std::string& expected) const {
        std::string found;
        switch (t.kind) {
        case Token::Kind::End: found = "the end of the statement"; break;
        case Token::Kind::BracketName: found = "[" + t.text + "]"; break;
        case Token::Kind::Text: found = "'" + t.text + "'"; break;
        default: found = "\"" + t.text + "\"";
        }
        throw Error("Syntax error " + positionText(statement_, t.offset, chars_) + ": expected " + expected +
                    " but found " + found);
    }

    static bool isReserved(const Token& t) {
        for (const char* k : kReserved)
            if (t.isWord(k)) return true;
        return false;
    }
    bool isName(const Token& t) const {
        return t.kind == Token::Kind::BracketName || (t.kind == Token::Kind::Word && !isReserved(t));
    }
    std::string name(const std::string& what) {
        if (!isName(peek())) fail(peek(), what);
        return next().text;
    }

    SelectItem selectItem() {
        SelectItem item;
        if (acceptSymbol("*")) {
            item.star = true;
            return item;
        }
        if (isName(peek()) && peek(1).isSymbol(".") && peek(2).isSymbol("*")) {
            item.star = true;
            item.starQualifier = next().text;
            next();
            next();
            return item;
        }
        item.expr = expression();
        if (acceptWord("as")) item.alias = name("a column name after \"as\"");
        return item;
    }

    TableRef tableRef() {
        TableRef t;
        t.offset = peek().offset;
        t.name = name("a table name");
        if (acceptWord("as")) t.alias = name("a table alias after \"as\"");
        else if (isName(peek())) t.alias = next().text;
        return t;
    }

    std::unique_ptr<Expr> make(Expr::Kind kind, std::size_t offset) {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->offset = offset;
        return e;
    }

    std::unique_ptr<Expr> expression() { return orExpr(); }

    // "a or b or c" is one node with every term as a child (no deep
    // nesting, however long the chain of terms); likewise for and.
    std::unique_ptr<Expr> orExpr() {
        auto first = andExpr();
        if (!peek().isWord("or")) return first;
        auto e = make(Expr::Kind::Or, peek().offset);
        e->children.push_back(std::move(first));
        while (acceptWord("or")) e->children.push_back(andExpr());
        return e;
    }

    std::unique_ptr<Expr> andExpr() {
        auto first = notExpr();
        if (!peek().isWord("and")) return first;
        auto e = make(Expr::Kind::And, peek().offset);
        e->children.push_back(std::move(first));
        while (acceptWord("and")) e->children.push_back(notExpr());
        return e;
    }

    // Guards the recursion of nested parentheses, not and minus signs.
    struct Nesting {
        Nesting(Parser& p, const Token& at) : parser(p) {
            if (++parser.depth_ > kMaxDepth) parser.fail(at, "less deeply nested parentheses");
        }
        ~Nesting() { --parser.depth_; }
        Parser& parser;
    };
    static constexpr int kMaxDepth = 200;

    std::unique_ptr<Expr> notExpr() {
        if (peek().isWord("not")) {
            Nesting guard(*this, peek());
            auto e = make(Expr::Kind::Not, next().offset);
            e->children.push_back(notExpr());
            return e;
        }
        return predicate();
    }

    std::unique_ptr<Expr> predicate() {
        auto left = additive();
        const Token& t = peek();
        if (t.kind == Token::Kind::Symbol &&
            (t.text == "=" || t.text == "<>" || t.text == "<" || t.text == ">" || t.text == "<=" || t.text == ">=")) {
            auto e = make(Expr::Kind::Compare, t.offset);
            e->text = next().text;
            e->children.push_back(std::move(left));
            e->children.push_back(additive());
            return e;
        }
        if (t.isWord("is")) {
            auto e = make(Expr::Kind::IsNull, next().offset);
            e->negated = acceptWord("not");
            expectWord("null");
            e->children.push_back(std::move(left));
            return e;
        }
        if (t.isWord("like") || (t.isWord("not") && peek(1).isWord("like"))) {
            auto e = make(Expr::Kind::Like, t.offset);
            e->negated = acceptWord("not");
            expectWord("like");
            e->children.push_back(std::move(left));
            e->children.push_back(additive());
            return e;
        }
        return left;
    }

    // "a + b - c & d" is one node with every term as a child and the
    // operators in order, like the chains of and and or.
    std::unique_ptr<Expr> additive() {
        auto first = unary();
        auto isOperator = [this] { return peek().isSymbol("+") || peek().isSymbol("-") || peek().isSymbol("&"); };
        if (!isOperator()) return first;
        auto e = make(Expr::Kind::Arithmetic, peek().offset);
        e->children.push_back(std::move(first));
        while (isOperator()) {
            e->text += next().text;
            e->children.push_back(unary());
        }
        return e;
    }

    std::unique_ptr<Expr> unary() {
        if (peek().isSymbol("-")) {
            Nesting guard(*this, peek());
            auto e = make(Expr::Kind::Negate, next().offset);
            e->children.push_back(unary());
            return e;
        }
        if (peek().isSymbol("+")) next();
        return primary();
    }

    std::unique_ptr<Expr> primary() {
        const Token& t = peek();
        if (t.kind == Token::Kind::Number) {
            auto e = make(Expr::Kind::NumberLiteral, t.offset);
            auto n = parseNumber(t.text);
            if (!n) fail(t, "a number");
            e->number = *n;
            next();
            return e;
        }
        if (t.kind == Token::Kind::Text) {
            auto e = make(Expr::Kind::TextLiteral, t.offset);
            e->text = next().text;
            return e;
        }
        if (t.isWord("null")) {
            return make(Expr::Kind::NullLiteral, next().offset);
        }
        if (peek().isSymbol("(")) {
            Nesting guard(*this, peek());
            next();
            auto e = expression();
            expectSymbol(")");
            return e;
        }
        if (t.kind == Token::Kind::Word && !isReserved(t) && peek(1).isSymbol("(")) {
            Nesting guard(*this, t);
            auto e = make(Expr::Kind::Call, t.offset);
            e->name = next().text;
            next();
            if (peek().isSymbol("*")) {
                next();
                e->star = true;
            } else if (!peek().isSymbol(")")) {
                e->children.push_back(expression());
                while (acceptSymbol(",")) e->children.push_back(expression());
            }
            expectSymbol(")");
            return e;
        }
        if (isName(t)) {
            auto e = make(Expr::Kind::Column, t.offset);
            e->name = next().text;
            if (acceptSymbol(".")) {
                e->qualifier = e->name;
                e->name = name("a column name after \".\"");
            }
            return e;
        }
        fail(t, "an expression");
    }

    std::string_view statement_;
    const CharStepper& chars_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

SelectStatement parseStatement(std::string_view statement, const CharStepper& chars) {
    return Parser(statement, chars).parse();
}

}  // namespace engine
