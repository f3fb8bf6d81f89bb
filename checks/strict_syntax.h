// The strict address syntax: what mail systems take.  A local part of
// dot-atom text (atext, no dot at either end, no two dots together) in which
// UTF-8 letters may stand (internationalised mail), at most 64 octets; a
// domain of at least two labels of letters, digits and inner hyphens, 1 to 63
// octets each, the last not all digits, internationalised labels valid under
// IDNA2008, at most 253 octets in its ASCII form; the whole address at most
// 254 octets.  Everything else fails, quoted local parts, comments and
// address literals included: valid in the message format, refused by mailing
// systems.  Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace checks {

enum class SyntaxFault {
    None,
    NoAt,                  // no "@" at all
    LocalEmpty,
    LocalTooLong,          // more than 64 octets
    LocalDotAtEdge,        // a dot first or last
    LocalDoubleDot,        // two dots together
    LocalQuoted,           // a quoted string ("...")
    LocalBadCharacter,     // outside atext and UTF-8 letters: blanks, "(", ",", ";", controls, bad bytes
    DomainEmpty,
    DomainLiteral,         // "[192.0.2.1]"
    DomainSingleLabel,     // no dot: "localhost"
    DomainEmptyLabel,      // a dot first, last or doubled
    LabelTooLong,          // more than 63 octets (ASCII form)
    LabelHyphenAtEdge,     // "-iana", "iana-"
    LabelBadCharacter,     // "_", blanks, other signs
    LabelNotIdna,          // an internationalised label IDNA2008 refuses (or a bad "xn--" label)
    TopLabelNumeric,       // the last label all digits: "1.2.3.4"
    DomainTooLong,         // more than 253 octets in ASCII form
    AddressTooLong,        // more than 254 octets
};

// The first fault of the address, or None when mail systems take it.
SyntaxFault checkStrictSyntax(std::string_view address);

// The parts of the check, for callers that keep each domain's verdict.
SyntaxFault checkStrictLocalPart(std::string_view local);
// The domain's fault; its ASCII form in ascii when there is none.
SyntaxFault checkStrictDomain(std::string_view domain, std::string& ascii);
// The whole address's limit, from the octets of its parts.
bool fitsAddressLength(std::size_t localOctets, std::size_t domainOctets, std::size_t asciiDomainOctets);

inline bool isStrictAddress(std::string_view address) {
    return checkStrictSyntax(address) == SyntaxFault::None;
}

// The ASCII form of a domain (internationalised labels as "xn--" labels,
// ASCII letters in lower case), or "" when it is not a valid mail domain.
std::string asciiDomain(std::string_view domain);

// The fault's name, for test messages and diagnostics ("LocalDoubleDot").
const char* syntaxFaultName(SyntaxFault fault);

}  // namespace checks
