// Splits a statement into tokens.  Steps by characters of the code page, so a
// double-byte character whose trail byte is "]" or "'" stays inside its
// bracketed name or text literal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/char_stepper.h"

namespace engine {

struct Token {
    enum class Kind { Word, BracketName, Text, Number, Symbol, End };
    Kind kind = Kind::End;
    std::string text;        // the word, the name inside brackets, the literal's value, the symbol
    std::size_t offset = 0;  // byte offset in the statement

    bool isWord(std::string_view keyword) const;   // a bare word, letter case ignored
    bool isSymbol(std::string_view symbol) const { return kind == Kind::Symbol && text == symbol; }
};

// Throws Error for an unclosed "[" or "'" and for a character that starts no token.
std::vector<Token> tokenize(std::string_view statement, const CharStepper& chars);

// "at position N" (N counts characters from 1), for messages.
std::string positionText(std::string_view statement, std::size_t offset, const CharStepper& chars);

}  // namespace engine
