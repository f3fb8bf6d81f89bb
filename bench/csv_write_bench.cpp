// csv-write-bench: the CSV result writer's speed.  Runs one statement over a
// list (default: every row of it) and writes the result with CsvResultWriter
// several times, printing the output's size and MB/s of the best run.
//
//   csv-write-bench [--repeat N] [--sql "STATEMENT"] LIST OUTPUT
//
// The list is read as GBK, ";"-separated, without a header line (F1, F2, ...).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "csv/csv_result_writer.h"
#include "engine/engine.h"

int main(int argc, char** argv) {
    int repeat = 3;
    std::string sql;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-' && argv[i][1] == '-'; i += 2) {
        const std::string option = argv[i];
        if (option == "--repeat") repeat = std::atoi(argv[i + 1]);
        else if (option == "--sql") sql = argv[i + 1];
        else break;
    }
    if (argc - i != 2) {
        std::fprintf(stderr, "usage: csv-write-bench [--repeat N] [--sql \"STATEMENT\"] LIST OUTPUT\n");
        return 2;
    }
    const std::string list = argv[i], output = argv[i + 1];
    const std::size_t slash = list.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : list.substr(0, slash);
    const std::string file = slash == std::string::npos ? list : list.substr(slash + 1);
    if (sql.empty()) sql = "select * from [" + file + "]";
    try {
        engine::Connection conn;
        conn.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir +
                  ";Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited(;)\"");
        engine::ResultSet result;
        result.open(conn, sql);
        double best = 1e300;
        for (int r = 0; r < repeat; ++r) {
            const auto start = std::chrono::steady_clock::now();
            csv::CsvResultWriter(result).WriteCsvFile(output);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        std::FILE* f = std::fopen(output.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        const double bytes = static_cast<double>(std::ftell(f));
        std::fclose(f);
        std::printf("%zu rows, %.1f MB written; best of %d: %.3f s, %.0f MB/s\n", result.recordCount(), bytes / 1e6,
                    repeat, best, bytes / 1e6 / best);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
