// textsql: runs one statement through the engine and prints the result.
//
//   textsql --connection "CONNECTION STRING" "STATEMENT"
//   textsql --dir DIR [--hdr yes|no] [--fmt CSVDelimited|TabDelimited|"Delimited(x)"] "STATEMENT"
//
// First line: the column names; then one line per row; cells separated by
// ";", texts in double quotes (inner quotes doubled), a null as an empty
// cell.  Bytes are written as the engine holds them.  Exit 0 on success, 1
// with the engine's message on standard error, 2 on a usage error.
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "engine/engine.h"

namespace {

const char* const kUsage =
    "usage: textsql --connection \"CONNECTION STRING\" \"STATEMENT\"\n"
    "       textsql --dir DIR [--hdr yes|no] [--fmt CSVDelimited|TabDelimited|\"Delimited(x)\"] \"STATEMENT\"\n";

int usage(const std::string& problem) {
    if (!problem.empty()) std::cerr << "textsql: " << problem << "\n";
    std::cerr << kUsage;
    return 2;
}

void writeQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (char c : text) {
        out.push_back(c);
        if (c == '"') out.push_back('"');
    }
    out.push_back('"');
}

}  // namespace

int main(int argc, char** argv) {
    std::string connection, dir, statement;
    std::string hdr = "Yes", fmt = "CSVDelimited";
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
        conn.open(connection);
        engine::ResultSet rs;
        rs.open(conn, statement);
        std::string out;
        const auto& names = rs.columnNames();
        for (std::size_t c = 0; c < names.size(); ++c) {
            if (c) out.push_back(';');
            out += names[c];
        }
        out.push_back('\n');
        for (rs.first(); !rs.eof(); rs.next()) {
            for (std::size_t c = 0; c < names.size(); ++c) {
                if (c) out.push_back(';');
                if (auto v = rs.value(c)) writeQuoted(out, *v);
            }
            out.push_back('\n');
            if (out.size() > (1u << 20)) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                out.clear();
            }
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        rs.close();
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::cerr << e.what() << "\n";
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
