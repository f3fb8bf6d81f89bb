#include "engine/table_format.h"

#include <vector>

#include "engine/char_stepper.h"
#include "engine/engine.h"
#include "engine/schema_file.h"
#include "engine/table_source.h"
#include "platform/file_system.h"

namespace engine {
namespace {

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

// Splits at sep outside double quotes and parentheses.
std::vector<std::string_view> splitTopLevel(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') quoted = !quoted;
        else if (!quoted && c == '(') ++depth;
        else if (!quoted && c == ')' && depth > 0) --depth;
        else if (!quoted && depth == 0 && c == sep) {
            parts.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(s.substr(start));
    return parts;
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<char> parseFormatWord(std::string_view word) {
    word = trimBlanks(word);
    if (sameWord(word, "CSVDelimited") || sameWord(word, "Delimited")) return ',';
    if (sameWord(word, "TabDelimited")) return '\t';
    if (word.size() == 12 && sameWord(word.substr(0, 10), "Delimited(") && word.back() == ')') {
        const char c = word[10];
        if (c == '"' || c == '\r' || c == '\n' || static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
        return c;
    }
    return std::nullopt;
}

std::optional<bool> parseYesNo(std::string_view word) {
    word = trimBlanks(word);
    if (sameWord(word, "yes") || sameWord(word, "true")) return true;
    if (sameWord(word, "no") || sameWord(word, "false")) return false;
    return std::nullopt;
}

ConnectionOptions parseConnectionString(std::string_view text) {
    ConnectionOptions options;
    bool haveSource = false;
    for (std::string_view part : splitTopLevel(text, ';')) {
        if (trimBlanks(part).empty()) continue;
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos)
            throw Error("The connection string is not valid: \"" + std::string(trimBlanks(part)) + "\" has no \"=\"");
        const std::string_view key = trimBlanks(part.substr(0, eq));
        const std::string_view value = trimBlanks(part.substr(eq + 1));
        if (sameWord(key, "Data Source")) {
            options.dataSource = std::string(unquote(value));
            haveSource = true;
        } else if (sameWord(key, "Extended Properties")) {
            for (std::string_view prop : splitTopLevel(unquote(value), ';')) {
                const std::size_t peq = prop.find('=');
                if (peq == std::string_view::npos) continue;  // "Text", the driver's name
                const std::string_view pkey = trimBlanks(prop.substr(0, peq));
                const std::string_view pvalue = trimBlanks(prop.substr(peq + 1));
                if (sameWord(pkey, "HDR")) {
                    auto hdr = parseYesNo(pvalue);
                    if (!hdr) throw Error("The connection string is not valid: HDR must be Yes or No, not \"" +
                                          std::string(pvalue) + "\"");
                    options.defaults.header = *hdr;
                } else if (sameWord(pkey, "FMT")) {
                    auto sep = parseFormatWord(pvalue);
                    if (!sep) throw Error("The connection string is not valid: unknown format FMT=" + std::string(pvalue));
                    options.defaults.separator = *sep;
                } else if (sameWord(pkey, "CharacterSet")) {
                    auto encoding = parseCharacterSet(pvalue);
                    if (!encoding)
                        throw Error("The connection string is not valid: unknown CharacterSet=" + std::string(pvalue) +
                                    "; it must be 65001, 1200, 1201, ANSI or 936");
                    options.defaults.defaultCharacterSet = *encoding;
                }
            }
        }
        // Provider and other keys are accepted as they are.
    }
    if (!haveSource || options.dataSource.empty())
        throw Error("The connection string is not valid: it names no Data Source");
    return options;
}

TableFormat resolveTableFormat(const std::string& dir, const std::string& fileName, const TableFormat& defaults,
                               const CharStepper& chars) {
    const std::string schema = fileSystemName(platform::joinPath(dir, "Schema.ini"), chars);
    return formatFromSection(readSchemaSection(schema, fileName, chars.codePage()), defaults, dir, fileName);
}

TableFormat formatFromSection(const std::vector<std::pair<std::string, std::string>>& entries,
                              const TableFormat& defaults, const std::string& dir, const std::string& fileName) {
    TableFormat format = defaults;
    for (const auto& [key, value] : entries) {
        if (sameWord(trimBlanks(key), "ColNameHeader")) {
            auto hdr = parseYesNo(value);
            if (!hdr) throw Error("Schema.ini in " + dir + ": ColNameHeader of [" + fileName +
                                  "] must be True or False, not \"" + value + "\"");
            format.header = *hdr;
        } else if (sameWord(trimBlanks(key), "Format")) {
            auto sep = parseFormatWord(value);
            if (!sep) throw Error("Schema.ini in " + dir + ": unknown Format \"" + value + "\" for [" + fileName + "]");
            format.separator = *sep;
        } else if (sameWord(trimBlanks(key), "CharacterSet")) {
            auto encoding = parseCharacterSet(value);
            if (!encoding)
                throw Error("Schema.ini in " + dir + ": unknown CharacterSet \"" + value + "\" for [" + fileName +
                            "]; it must be 65001 (UTF-8), 1200 (UTF-16 LE), 1201 (UTF-16 BE), ANSI or 936 (GBK)");
            format.characterSet = *encoding;
        }
    }
    return format;
}

}  // namespace engine
