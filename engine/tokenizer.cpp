#include "engine/tokenizer.h"

#include "engine/engine.h"

namespace engine {
namespace {

bool isWordStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80; }
bool isWordChar(unsigned char c) { return isWordStart(c) || (c >= '0' && c <= '9') || c == '#' || c == '$'; }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool Token::isWord(std::string_view keyword) const {
    if (kind != Kind::Word || text.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (foldAscii(text[i]) != foldAscii(keyword[i])) return false;
    return true;
}

std::string positionText(std::string_view statement, std::size_t offset, const CharStepper& chars) {
    if (offset > statement.size()) offset = statement.size();
    return "at position " + std::to_string(chars.count(statement.data(), statement.data() + offset) + 1);
}

std::vector<Token> tokenize(std::string_view statement, const CharStepper& chars) {
    std::vector<Token> tokens;
    const char* begin = statement.data();
    const char* end = begin + statement.size();
    const char* p = begin;
    auto fail = [&](const std::string& what, const char* at) {
        throw Error("Syntax error " + positionText(statement, static_cast<std::size_t>(at - begin), chars) +
                    ": " + what);
    };
    while (p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++p;
            continue;
        }
        Token t;
        t.offset = static_cast<std::size_t>(p - begin);
        if (c == '[') {
            // "]]" inside the brackets stands for one "]", so that a path
            // holding "]" can still name a table.
            const char* q = p + 1;
            for (;;) {
                if (q >= end) fail("the name in brackets is not closed with \"]\"", p);
                const std::size_t len = chars.length(q, end);
                if (len == 1 && *q == ']') {
                    if (q + 1 < end && q[1] == ']') {
                        t.text.push_back(']');
                        q += 2;
                        continue;
                    }
                    break;
                }
                t.text.append(q, len);
                q += len;
            }
            t.kind = Token::Kind::BracketName;
            p = q + 1;
        } else if (c == '\'' || c == '"') {
            const char quote = static_cast<char>(c);
            const char* q = p + 1;
            for (;;) {
                if (q >= end) fail("the text literal is not closed", p);
                const std::size_t len = chars.length(q, end);
                if (len == 1 && *q == quote) {
                    if (q + 1 < end && q[1] == quote) {
                        t.text.push_back(quote);
                        q += 2;
                        continue;
                    }
                    break;
                }
                t.text.append(q, len);
                q += len;
            }
            t.kind = Token::Kind::Text;
            p = q + 1;
        } else if (isDigit(c) || (c == '.' && p + 1 < end && isDigit(static_cast<unsigned char>(p[1])))) {
            const char* q = p;
            while (q < end && (isDigit(static_cast<unsigned char>(*q)) || *q == '.')) ++q;
            if (q < end && isWordStart(static_cast<unsigned char>(*q))) fail("\"" + std::string(p, q + 1) + "\" is not a number", p);
            t.kind = Token::Kind::Number;
            t.text.assign(p, q);
            p = q;
        } else if (isWordStart(c)) {
            const char* q = p;
            while (q < end && isWordChar(static_cast<unsigned char>(*q))) q += chars.length(q, end);
            t.kind = Token::Kind::Word;
            t.text.assign(p, q);
            p = q;
        } else {
            static const char* const twoChar[] = {"<=", ">=", "<>"};
            t.kind = Token::Kind::Symbol;
            for (const char* s : twoChar)
                if (p + 1 < end && p[0] == s[0] && p[1] == s[1]) t.text = s;
            if (t.text.empty()) {
                if (std::string_view("(),.*=<>+-;&/").find(static_cast<char>(c)) == std::string_view::npos)
                    fail("unexpected character \"" + std::string(p, chars.length(p, end)) + "\"", p);
                t.text.assign(1, static_cast<char>(c));
            }
            p += t.text.size();
        }
        tokens.push_back(std::move(t));
    }
    Token endToken;
    endToken.offset = statement.size();
    tokens.push_back(endToken);
    return tokens;
}

}  // namespace engine
