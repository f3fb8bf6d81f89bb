#include "platform/ini_line.h"

namespace platform::ini {
namespace {

// Every byte looked at here is below 0x40, and so never the trail byte of a
// GBK character, except "\", "[" and "]": "\" is escaped wherever it stands
// and unescaped the same way, and "[" and "]" are looked at only at the ends
// of a text, byte by byte when writing and when reading alike.

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool inQuotes(std::string_view s) { return s.size() >= 2 && s.front() == '"' && s.back() == '"'; }

std::optional<std::string> unquoted(std::string_view s);

// Texts that reading would change if they stood on the line as they are
// (one that reads as quoted might lose its quotes).
bool nameNeedsQuotes(std::string_view s) {
    if (s.empty()) return false;
    return isBlank(s.front()) || isBlank(s.back()) || s.find_first_of("\r\n") != std::string_view::npos ||
           unquoted(s).has_value();
}

// A key beginning with a quote is quoted too, so that a key line beginning
// with a quote always holds a quoted key.
bool keyNeedsQuotes(std::string_view s) {
    return nameNeedsQuotes(s) || s.find('=') != std::string_view::npos || (!s.empty() && s.front() == '"');
}

// writtenKey is the key as it stands on the line.
bool valueNeedsQuotes(std::string_view s, std::string_view writtenKey) {
    const bool lineLooksLikeHeader = !writtenKey.empty() && writtenKey.front() == '[' && !s.empty() && s.back() == ']';
    return nameNeedsQuotes(s) || lineLooksLikeHeader;
}

std::string quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    out += '"';
    return out;
}

// The text inside quotes written by quoted(); nullopt for any other text
// (no quotes at both ends, a quote inside that is not escaped, an escape that
// quoted() never writes).
std::optional<std::string> unquoted(std::string_view s) {
    if (!inQuotes(s)) return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 2 >= s.size()) return std::nullopt;  // a lone "\" before the closing quote
        switch (s[++i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

std::string writtenKey(std::string_view key) { return keyNeedsQuotes(key) ? quoted(key) : std::string(key); }

// End of a quoted key at the start of s (the index of its closing quote), or
// npos when s does not begin with one.
std::size_t quotedKeyEnd(std::string_view s) {
    if (s.empty() || s.front() != '"') return std::string_view::npos;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\') ++i;
        else if (s[i] == '"') return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::string sectionLine(std::string_view section) {
    return "[" + (nameNeedsQuotes(section) ? quoted(section) : std::string(section)) + "]";
}

std::string keyLine(std::string_view key, std::string_view value) {
    const std::string k = writtenKey(key);
    return k + "=" + (valueNeedsQuotes(value, k) ? quoted(value) : std::string(value));
}

std::string commentLine(std::string_view text) { return ";" + std::string(text); }

std::optional<std::string> commentText(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != ';') return std::nullopt;
    return std::string(line.substr(1));
}

std::optional<std::string> parseSectionLine(std::string_view line) {
    // Only a line that is "[" name "]" as a whole is a section header, so that
    // a key beginning with "[" ("[abc]=x") stays a key.
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    const std::string_view name = trim(line.substr(1, line.size() - 2));
    if (auto inner = unquoted(name); inner && nameNeedsQuotes(*inner)) return inner;
    return std::string(name);
}

std::optional<KeyValue> parseKeyLine(std::string_view line) {
    // A comment line (";...") holds no "=" as a rule; one that does reads as a
    // key, which keeps a key beginning with ";" readable.
    if (parseSectionLine(line)) return std::nullopt;
    const std::string_view text = trim(line);
    std::optional<std::string> key;
    std::size_t eq = std::string_view::npos;
    // A quoted key may hold "=": the line's "=" is the first after it.
    if (const std::size_t close = quotedKeyEnd(text); close != std::string_view::npos) {
        const std::size_t after = text.find_first_not_of(" \t", close + 1);
        if (after != std::string_view::npos && text[after] == '=') {
            auto inner = unquoted(text.substr(0, close + 1));
            if (inner && keyNeedsQuotes(*inner)) {
                key = std::move(inner);
                eq = after;
            }
        }
    }
    if (!key) {
        eq = text.find('=');  // "=" is below 0x40: never a trail byte
        if (eq == std::string_view::npos) return std::nullopt;
        const std::string_view raw = trim(text.substr(0, eq));
        auto inner = unquoted(raw);
        key = inner && keyNeedsQuotes(*inner) ? *inner : std::string(raw);
    }
    const std::string_view rawKey = trim(text.substr(0, eq));
    const std::string_view rawValue = trim(text.substr(eq + 1));
    auto inner = unquoted(rawValue);
    if (inner && valueNeedsQuotes(*inner, rawKey)) return KeyValue{std::move(*key), std::move(*inner)};
    return KeyValue{std::move(*key), std::string(rawValue)};
}

}  // namespace platform::ini
