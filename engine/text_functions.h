// The character functions of the dialect: len, mid, instr.  Positions and
// lengths count characters of the code page, not bytes.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/char_stepper.h"

namespace engine {

// Number of characters.
std::size_t textLength(std::string_view s, const CharStepper& chars);

// The same three, told whether the texts are single-byte (isAscii) already.
std::size_t textLength(std::string_view s, bool ascii, const CharStepper& chars);
std::string_view textMid(std::string_view s, bool ascii, std::size_t start, std::size_t count, const CharStepper& chars);
std::size_t textInstr(std::string_view s, std::string_view needle, bool ascii, std::size_t start,
                      const CharStepper& chars);

// Up to count characters from the 1-based character position start (start >= 1);
// a start past the end gives the empty text.
std::string_view textMid(std::string_view s, std::size_t start, std::size_t count, const CharStepper& chars);

// 1-based character position of the first occurrence of needle at or after
// the character position start (>= 1), letter case of A-Z ignored; 0 when absent.
std::size_t textInstr(std::string_view s, std::string_view needle, std::size_t start, const CharStepper& chars);

}  // namespace engine
