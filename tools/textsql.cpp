// textsql: runs one statement through the engine and prints the result.
//
//   textsql [--codepage gbk|utf-8] --connection "CONNECTION STRING" "STATEMENT"
//   textsql [--codepage gbk|utf-8] --dir DIR [--hdr yes|no] [--fmt CSVDelimited|TabDelimited|"Delimited(x)"] "STATEMENT"
//
// First line: the column names; then one line per row; cells separated by
// ";", texts in double quotes (inner quotes doubled), a null as an empty
// cell.  Exit 0 on success, 1 with the engine's message (or why the output
// could not be written) on standard error, 2 on a usage error.
//
// --codepage (default gbk) is the code page of the statement, the connection
// string and everything printed: the connection is opened in it.  Values of
// a table in another encoding (Schema.ini's CharacterSet, a byte-order mark)
// are converted into it for printing; a character it cannot hold prints as
// "?" (GBK) or U+FFFD (UTF-8).  Values in that code page are printed as the
// engine holds them, byte for byte.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/text_convert.h"

namespace {

const char* const kUsage =
    "usage: textsql [--codepage gbk|utf-8] --connection \"CONNECTION STRING\" \"STATEMENT\"\n"
    "       textsql [--codepage gbk|utf-8] --dir DIR [--hdr yes|no] [--fmt CSVDelimited|TabDelimited|\"Delimited(x)\"]\n"
    "               \"STATEMENT\"\n"
    "--codepage: of the statement, the connection string and the output (default gbk);\n"
    "values of tables in another encoding are converted into it.\n";

int usage(const std::string& problem) {
    if (!problem.empty()) std::cerr << "textsql: " << problem << "\n";
    std::cerr << kUsage;
    return 2;
}

std::optional<engine::CodePage> parseCodePage(std::string word) {
    for (char& c : word) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (word == "gbk" || word == "936") return engine::CodePage::Gbk;
    if (word == "utf-8" || word == "utf8" || word == "65001") return engine::CodePage::Utf8;
    return std::nullopt;
}

// A value as the console's code page shows it.
std::string_view shown(std::string_view value, engine::CodePage from, engine::CodePage console, std::string& scratch) {
    if (from == console) return value;
    scratch.clear();
    engine::appendConverted(scratch, value, from, console);
    return scratch;
}

void writeQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (char c : text) {
        out.push_back(c);
        if (c == '"') out.push_back('"');
    }
    out.push_back('"');
}

// Raised when standard output refuses the result (a full disk, a closed pipe).
struct OutputFailed {
    int error;
};

void writeOut(std::string& out) {
    errno = 0;
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) throw OutputFailed{errno};
    out.clear();
}

}  // namespace

int main(int argc, char** argv) {
    std::string connection, dir, statement;
    std::string hdr = "Yes", fmt = "CSVDelimited";
    engine::CodePage codePage = engine::CodePage::Gbk;
    bool haveStatement = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= argc) return false;
            target = argv[++i];
            return true;
        };
        if (arg == "--connection") {
            if (!value(connection)) return usage("--connection needs a value");
        } else if (arg == "--dir") {
            if (!value(dir)) return usage("--dir needs a value");
        } else if (arg == "--hdr") {
            std::string h;
            if (!value(h)) return usage("--hdr needs yes or no");
            if (h == "yes" || h == "Yes") hdr = "Yes";
            else if (h == "no" || h == "No") hdr = "No";
            else return usage("--hdr needs yes or no");
        } else if (arg == "--fmt") {
            if (!value(fmt)) return usage("--fmt needs a format");
        } else if (arg == "--codepage") {
            std::string c;
            const auto page = value(c) ? parseCodePage(c) : std::nullopt;
            if (!page) return usage("--codepage needs gbk or utf-8");
            codePage = *page;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (!arg.empty() && arg[0] == '-' && arg.size() > 1) {
            return usage("unknown option " + std::string(arg));
        } else if (!haveStatement) {
            statement = std::string(arg);
            haveStatement = true;
        } else {
            return usage("only one statement may be given");
        }
    }
    if (!haveStatement) return usage("");
    if (connection.empty() == dir.empty()) return usage("give either --connection or --dir");
    if (connection.empty())
        connection = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir + ";Extended Properties=\"Text;HDR=" + hdr +
                     ";IMEX=1;FMT=" + fmt + "\"";

    try {
        engine::Connection conn;
        conn.open(connection, codePage);
        engine::ResultSet rs;
        rs.open(conn, statement);
        std::string out;
        const auto& names = rs.columnNames();
        for (std::size_t c = 0; c < names.size(); ++c) {
            if (c) out.push_back(';');
            out += names[c];
        }
        out.push_back('\n');
        std::vector<engine::CodePage> encodings;
        for (std::size_t c = 0; c < names.size(); ++c) encodings.push_back(rs.columnEncoding(c));
        std::string scratch;
        for (rs.first(); !rs.eof(); rs.next()) {
            for (std::size_t c = 0; c < names.size(); ++c) {
                if (c) out.push_back(';');
                if (auto v = rs.value(c)) writeQuoted(out, shown(*v, encodings[c], codePage, scratch));
            }
            out.push_back('\n');
            if (out.size() > (1u << 20)) writeOut(out);
        }
        writeOut(out);
        rs.close();
        errno = 0;
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) throw OutputFailed{errno};
    } catch (const OutputFailed& failure) {
        std::cerr << "textsql: cannot write the result: "
                  << (failure.error != 0 ? std::strerror(failure.error) : "write error") << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
