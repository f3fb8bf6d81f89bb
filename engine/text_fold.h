// Letter-case folding of text: A-Z becomes a-z, nothing else changes.  Used
// by lcase and by every comparison that ignores letter case (=, like,
// distinct, group by, join keys).  Folding steps by characters, so a GBK
// trail byte that happens to be a capital letter is left alone.
//
// Hot paths: appendFolded, foldedHash and equalFolded work eight bytes at a
// time while a text is single-byte, and in UTF-8 always (there every byte
// below 0x80 is a character of its own, and the bytes of multi-byte
// characters are 0x80 and above, which folding leaves alone).  The
// ...ByCharacters functions below are the plain reference they must agree with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/char_stepper.h"

namespace engine {

// Appends the folded text to out.
void appendFolded(std::string& out, std::string_view text, const CharStepper& chars);

// Hash of the folded text: equal for texts that differ only in letter case.
std::uint64_t foldedHash(std::string_view text, const CharStepper& chars);

// Hash of raw bytes (used for bytes already folded, and the building block of foldedHash).
std::uint64_t bytesHash(const char* p, std::size_t n);

// True when the texts are equal ignoring the letter case of A-Z.
bool equalFolded(std::string_view a, std::string_view b, const CharStepper& chars);

// Orders texts by their folded bytes (unsigned), for order by.
int compareFolded(std::string_view a, std::string_view b, const CharStepper& chars);

// The reference forms: character by character in any code page.
void appendFoldedByCharacters(std::string& out, std::string_view text, const CharStepper& chars);
bool equalFoldedByCharacters(std::string_view a, std::string_view b, const CharStepper& chars);

}  // namespace engine
