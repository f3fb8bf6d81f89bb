#include "checks/strict_syntax.h"

#include <idn2.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "checks/address_parts.h"
#include "platform/code_page.h"

namespace checks {
namespace {

constexpr std::size_t kMaxLocal = 64;
constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxDomain = 253;
constexpr std::size_t kMaxAddress = 254;

// atext of the message format: letters, digits and these signs.
bool isAtext(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
        case '!': case '#': case '$': case '%': case '&': case '\'': case '*': case '+': case '-':
        case '/': case '=': case '?': case '^': case '_': case '`': case '{': case '|': case '}':
        case '~':
            return true;
        default:
            return false;
    }
}

char32_t decodeUtf8(const char* p, std::size_t length) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(p[i]); };
    if (length == 2) return (char32_t(b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    if (length == 3) return (char32_t(b(0) & 0x0F) << 12) | (char32_t(b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return (char32_t(b(0) & 0x07) << 18) | (char32_t(b(1) & 0x3F) << 12) | (char32_t(b(2) & 0x3F) << 6) |
           (b(3) & 0x3F);
}

// A character beyond ASCII that may stand in an internationalised local
// part: letters and marks of any script.  Refused: controls, blanks, format
// characters, the replacement character, private use and noncharacters, and
// the punctuation of the Latin-1, general and CJK punctuation blocks and of
// the full-width forms (the "，" or "＠" of a Chinese input method).
bool isLocalLetter(char32_t c) {
    if (c <= 0x9F) return false;  // C1 controls
    if (c >= 0xA0 && c <= 0xBF) return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7) return false;
    if (c == 0x1680 || c == 0x180E) return false;
    if (c >= 0x2000 && c <= 0x206F) return false;  // blanks, format characters, general punctuation
    if (c >= 0x3000 && c <= 0x3003) return false;
    if (c >= 0x3008 && c <= 0x3011) return false;
    if (c >= 0x3014 && c <= 0x301F) return false;
    if (c >= 0xE000 && c <= 0xF8FF) return false;
    if (c >= 0xFDD0 && c <= 0xFDEF) return false;
    if (c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFF)) return false;
    if ((c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) ||
        (c >= 0xFF5B && c <= 0xFF65))
        return false;
    if ((c & 0xFFFE) == 0xFFFE) return false;  // noncharacters at the end of each plane
    if (c >= 0xF0000) return false;            // private use planes
    return true;
}

}  // namespace

SyntaxFault checkStrictLocalPart(std::string_view local) {
    if (local.empty()) return SyntaxFault::LocalEmpty;
    if (local.front() == '"') return SyntaxFault::LocalQuoted;
    const char* p = local.data();
    const char* const end = p + local.size();
    while (p < end) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte < 0x80) {
            if (*p == '"') return SyntaxFault::LocalQuoted;
            if (*p != '.' && !isAtext(*p)) return SyntaxFault::LocalBadCharacter;
            ++p;
            continue;
        }
        const std::size_t length = platform::utf8CharLength(p, end);
        if (length == 1 || !isLocalLetter(decodeUtf8(p, length))) return SyntaxFault::LocalBadCharacter;
        p += length;
    }
    if (local.front() == '.' || local.back() == '.') return SyntaxFault::LocalDotAtEdge;
    if (local.find("..") != std::string_view::npos) return SyntaxFault::LocalDoubleDot;
    if (local.size() > kMaxLocal) return SyntaxFault::LocalTooLong;
    return SyntaxFault::None;
}

namespace {

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

// One label into its ASCII form (appended to out); the fault when it is no
// mail domain label.
SyntaxFault appendAsciiLabel(std::string_view label, std::string& out) {
    std::string lowered(label);
    for (char& c : lowered) c = asciiLower(c);
    const bool internationalised = !isAscii(lowered) || lowered.starts_with("xn--");
    if (internationalised) {
        // IDNA2008 proper, without the compatibility mapping of TR46: a
        // label that is not already in its lookup form is refused.
        char* result = nullptr;
        const int rc = idn2_lookup_u8(reinterpret_cast<const uint8_t*>(lowered.c_str()),
                                      reinterpret_cast<uint8_t**>(&result), IDN2_NO_TR46);
        std::unique_ptr<char, FreeDeleter> owned(result);
        if (rc == IDN2_TOO_BIG_LABEL || rc == IDN2_PUNYCODE_BIG_OUTPUT) return SyntaxFault::LabelTooLong;
        if (rc != IDN2_OK || result == nullptr) return SyntaxFault::LabelNotIdna;
        lowered = result;
    }
    for (const char c : lowered)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'))
            return SyntaxFault::LabelBadCharacter;
    if (lowered.front() == '-' || lowered.back() == '-') return SyntaxFault::LabelHyphenAtEdge;
    if (lowered.size() > kMaxLabel) return SyntaxFault::LabelTooLong;
    out += lowered;
    return SyntaxFault::None;
}

}  // namespace

SyntaxFault checkStrictDomain(std::string_view domain, std::string& ascii) {
    ascii.clear();
    if (domain.empty()) return SyntaxFault::DomainEmpty;
    if (domain.front() == '[') return SyntaxFault::DomainLiteral;
    std::size_t labels = 0;
    std::string_view lastLabel;
    std::string_view rest = domain;
    for (;;) {
        const auto dot = rest.find('.');
        const std::string_view label = rest.substr(0, dot);
        if (label.empty()) return SyntaxFault::DomainEmptyLabel;
        if (labels > 0) ascii += '.';
        if (const auto fault = appendAsciiLabel(label, ascii); fault != SyntaxFault::None) return fault;
        ++labels;
        lastLabel = label;
        if (dot == std::string_view::npos) break;
        rest.remove_prefix(dot + 1);
    }
    if (labels < 2) return SyntaxFault::DomainSingleLabel;
    if (lastLabel.find_first_not_of("0123456789") == std::string_view::npos) return SyntaxFault::TopLabelNumeric;
    if (ascii.size() > kMaxDomain) return SyntaxFault::DomainTooLong;
    return SyntaxFault::None;
}

bool fitsAddressLength(std::size_t localOctets, std::size_t domainOctets, std::size_t asciiDomainOctets) {
    // Both forms must fit: as written, and as sent with an ASCII domain.
    return localOctets + 1 + std::max(domainOctets, asciiDomainOctets) <= kMaxAddress;
}

SyntaxFault checkStrictSyntax(std::string_view address) {
    const auto parts = splitAddress(address);
    if (!parts) return SyntaxFault::NoAt;
    if (const auto fault = checkStrictLocalPart(parts->local); fault != SyntaxFault::None) return fault;
    std::string ascii;
    if (const auto fault = checkStrictDomain(parts->domain, ascii); fault != SyntaxFault::None) return fault;
    if (!fitsAddressLength(parts->local.size(), parts->domain.size(), ascii.size()))
        return SyntaxFault::AddressTooLong;
    return SyntaxFault::None;
}

std::string asciiDomain(std::string_view domain) {
    std::string ascii;
    return checkStrictDomain(domain, ascii) == SyntaxFault::None ? ascii : std::string();
}

const char* syntaxFaultName(SyntaxFault fault) {
    switch (fault) {
        case SyntaxFault::None: return "None";
        case SyntaxFault::NoAt: return "NoAt";
        case SyntaxFault::LocalEmpty: return "LocalEmpty";
        case SyntaxFault::LocalTooLong: return "LocalTooLong";
        case SyntaxFault::LocalDotAtEdge: return "LocalDotAtEdge";
        case SyntaxFault::LocalDoubleDot: return "LocalDoubleDot";
        case SyntaxFault::LocalQuoted: return "LocalQuoted";
        case SyntaxFault::LocalBadCharacter: return "LocalBadCharacter";
        case SyntaxFault::DomainEmpty: return "DomainEmpty";
        case SyntaxFault::DomainLiteral: return "DomainLiteral";
        case SyntaxFault::DomainSingleLabel: return "DomainSingleLabel";
        case SyntaxFault::DomainEmptyLabel: return "DomainEmptyLabel";
        case SyntaxFault::LabelTooLong: return "LabelTooLong";
        case SyntaxFault::LabelHyphenAtEdge: return "LabelHyphenAtEdge";
        case SyntaxFault::LabelBadCharacter: return "LabelBadCharacter";
        case SyntaxFault::LabelNotIdna: return "LabelNotIdna";
        case SyntaxFault::TopLabelNumeric: return "TopLabelNumeric";
        case SyntaxFault::DomainTooLong: return "DomainTooLong";
        case SyntaxFault::AddressTooLong: return "AddressTooLong";
    }
    return "?";
}

}  // namespace checks
