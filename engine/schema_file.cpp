#include "engine/schema_file.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include "engine/char_stepper.h"
#include "engine/table_format.h"
#include "engine/text_convert.h"
#include "engine/text_fold.h"
#include "platform/ini_line.h"

namespace engine {
namespace {

std::vector<std::string_view> linesOf(std::string_view all) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string_view::npos) end = all.size();
        std::string_view line = all.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

SchemaEntries readSchemaSection(const std::string& nativePath, const std::string& fileName, CodePage codePage) {
    std::ifstream in(nativePath, std::ios::binary);
    if (!in) return {};
    std::stringstream buffer;
    buffer << in.rdbuf();
    return schemaSectionOfText(buffer.str(), fileName, codePage);
}

SchemaEntries schemaSectionOfText(std::string_view all, const std::string& fileName, CodePage codePage) {
    SchemaEntries entries;
    if (all.substr(0, 3) == "\xEF\xBB\xBF") all.remove_prefix(3);
    const std::vector<std::string_view> lines = linesOf(all);
    // Lines are read as the private-profile service writes them (a name or
    // value it had to quote reads back unquoted).
    const auto sectionName = [](std::string_view line) { return platform::ini::parseSectionLine(line); };

    // The file's name in each code page it can be written in, the connection's first.
    struct Form {
        std::string name;
        CharStepper chars;
    };
    std::vector<Form> forms{{fileName, CharStepper(codePage)}};
    const CodePage other = codePage == CodePage::Gbk ? CodePage::Utf8 : CodePage::Gbk;
    std::string otherName;
    if (appendConverted(otherName, fileName, codePage, other) && otherName != fileName)
        forms.push_back({otherName, CharStepper(other)});

    std::optional<std::size_t> header;
    for (const Form& form : forms) {
        for (std::size_t i = 0; i < lines.size() && !header; ++i) {
            const auto name = sectionName(lines[i]);
            if (name && equalFolded(*name, form.name, form.chars)) header = i;
        }
        if (header) break;
    }
    if (!header) return entries;
    for (std::size_t i = *header + 1; i < lines.size(); ++i) {
        if (sectionName(lines[i])) break;
        if (auto kv = platform::ini::parseKeyLine(lines[i])) entries.emplace_back(std::move(kv->key), std::move(kv->value));
    }
    return entries;
}

}  // namespace engine
