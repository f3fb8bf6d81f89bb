// Table bytes through the engine's reader: every separator the tool offers
// (and any other one a Schema.ini section may name), header on and off, the
// format taken from a fuzzed Schema.ini section.  The rows must be those of
// the plain reference reading, by one thread and by two.
//
// Input: CONTROL \0 SECTION \0 TABLE BYTES
//   CONTROL[0] % 5: comma, semicolon, tab, blank, or CONTROL[1] as Delimited(x)
//   CONTROL[2] & 1: the first line holds the column names
//   CONTROL[2] & 2: a UTF-8 connection (the tool's; keyless tables UTF-8),
//   else a GBK one (textsql's)
//   SECTION: Schema.ini text; its [t.csv] section overrides the above (and
//   may name the table's CharacterSet: GBK, UTF-8 or UTF-16)
#include <cstdint>
#include <functional>
#include <optional>

#include "conditions/sql_text.h"
#include "engine/file_encoding.h"
#include "engine/schema_file.h"
#include "engine/table_format.h"
#include "engine/text_convert.h"
#include "fuzz_support.h"
#include "platform/code_page.h"
#include "reference_csv.h"

using namespace fuzzsupport;

namespace {

// UTF-16 to UTF-8 one unit at a time: a pair of surrogates is one
// character, a lone half and an odd last byte are U+FFFD.
std::string referenceUtf8OfUtf16(std::string_view bytes, bool bigEndian) {
    auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    std::string out;
    auto put = [&](char32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            put(0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else {
            put(u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
        }
    }
    if (i < bytes.size()) put(0xFFFD);
    return out;
}

void compare(const Rows& engineRows, const testsupport::ReferenceSelect& reference, std::size_t columns,
             const std::string& what) {
    if (reference.unterminatedQuote) {
        check(engineRows.error && engineRows.error->find("Unterminated quoted field") != std::string::npos,
              what + ": an unclosed quote must fail, got " + describe(engineRows));
        return;
    }
    check(!engineRows.error, what + ": " + describe(engineRows));
    check(engineRows.rows.size() == reference.rows.size(),
          what + ": " + std::to_string(reference.rows.size()) + " rows expected, " + describe(engineRows));
    for (std::size_t r = 0; r < reference.rows.size(); ++r) {
        auto expected = reference.rows[r];
        expected.resize(columns);
        check(engineRows.rows[r] == expected, what + ": row " + std::to_string(r) + " differs, " + describe(engineRows));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto p = parts(data, size, 3);
    const std::string_view control = p[0];
    const std::string section(p[1]);
    const std::string table(p[2]);

    engine::TableFormat format;
    const char choices[] = {',', ';', '\t', ' '};
    const unsigned choice = control.empty() ? 0 : static_cast<unsigned char>(control[0]) % 5;
    if (choice < 4) {
        format.separator = choices[choice];
    } else {
        const char x = control.size() > 1 ? control[1] : ',';
        const auto parsed = engine::parseFormatWord("Delimited(" + std::string(1, x) + ")");
        if (!parsed) return 0;
        format.separator = *parsed;
    }
    format.header = control.size() > 2 && (control[2] & 1);
    const engine::CodePage codePage =
        control.size() > 2 && (control[2] & 2) ? engine::CodePage::Utf8 : engine::CodePage::Gbk;
    if (!section.empty()) {
        try {
            format = engine::formatFromSection(engine::schemaSectionOfText(section, "t.csv", codePage),
                                               format, "fuzz", "t.csv");
        } catch (const engine::Error&) {
            return 0;  // a section the engine refuses, with a message
        }
    }

    engine::QueryContext context;
    context.dataSource = "/nonexistent-fuzz-folder";
    context.chars = engine::CharStepper(codePage);
    context.memoryTables.push_back({"t.csv", table, format});
    engine::QueryContext twoThreads = context;
    twoThreads.parallelMinimum = 1;

    // The text the reader sees: after a byte-order mark, UTF-16 decoded to
    // UTF-8; names come back in the connection's code page.
    const engine::ContentEncoding content = engine::contentEncoding(
        format.characterSet, std::string_view(table).substr(0, 3), engine::fileEncodingOf(codePage));
    const std::string text = engine::isUtf16(content.encoding)
                                 ? referenceUtf8OfUtf16(std::string_view(table).substr(content.bomSize),
                                                        content.encoding == engine::FileEncoding::Utf16Be)
                                 : table.substr(content.bomSize);
    auto reference = testsupport::referenceSelectAll(text, format.separator, format.header);
    std::vector<std::string> names = reference.names;
    for (auto& name : names) name = engine::converted(name, engine::valueCodePage(content.encoding), codePage);
    const std::string all = "select * from [t.csv]";
    const Rows serial = run(context, all);
    compare(serial, reference, reference.names.size(), "select *");
    if (!serial.error) check(serial.names == names, "select *: column names differ");
    // Two threads for one input in four, chosen by its bytes (a thread costs
    // as much as the rest of the run).
    if (std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(data), size)) % 4 == 0) {
        const Rows two = run(twoThreads, all);
        check(two == serial, "select * by two threads differs from one: " + describe(two));
    }

    // One column only: the reader skips the rest of each line.  The tool
    // names in UTF-8 (conditions::BracketedName); on a GBK connection "]" is
    // doubled only where it stands alone, and a name that ends with a lone
    // lead byte cannot be put in brackets (the lead byte takes the closing "]"
    // for its trail byte).
    if (!names.empty()) {
        std::optional<std::string> bracketed;
        if (codePage == engine::CodePage::Utf8) {
            bracketed = conditions::BracketedName(names[0]);
        } else {
            std::string b = "[";
            const std::string& name = names[0];
            const char* end = name.data() + name.size();
            std::size_t last = 1;
            for (const char* q = name.data(); q < end; q += last) {
                last = platform::gbkCharLength(q, end);
                b.append(q, last);
                if (last == 1 && *q == ']') b += ']';
            }
            const auto lastByte = name.empty() ? 0 : static_cast<unsigned char>(name.back());
            if (!(last == 1 && lastByte >= 0x81 && lastByte <= 0xFE)) bracketed = b + "]";
        }
        if (bracketed) {
            const std::string first = "select " + *bracketed + " from [t.csv]";
            compare(run(context, first), reference, 1, first);
        }
    }
    const Rows counted = run(context, "select count(*) as n from [t.csv]");
    if (!reference.unterminatedQuote)
        check(!counted.error && counted.rows.size() == 1 && counted.rows[0][0] == std::to_string(reference.rows.size()),
              "count(*): " + describe(counted));
    return 0;
}
