// engine-bench: times the tool's heavy statements through the query engine
// over one GBK list file, and `cat FILE > /dev/null` as the reading limit.
//
// Every statement run is a child process of its own (this program started
// again with --run-one), so that its peak resident set is its own.
#include "bench_statements.h"
#include "child_process.h"
#include "engine/engine.h"
#include "platform/code_page.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kUsage =
    "usage: engine-bench [--statements LIST] [--repeat N] [--column NAME] [--timeout S] [--no-cat] FILE\n"
    "       engine-bench --print [--column NAME] FILE\n"
    "\n"
    "FILE is a ';'-separated GBK list whose first line holds the column names\n"
    "(as bench/gen_emails.py writes it).  The engine reads it through the\n"
    "connection string's HDR=Yes and FMT=Delimited(;); a Schema.ini section for\n"
    "FILE in its directory would take precedence and is warned about.\n"
    "\n"
    "  --statements LIST  comma list of count,invalid,error,valid,domains10,domainsall\n"
    "                     (default: all of them)\n"
    "  --repeat N         runs of each statement (and of cat); default 1\n"
    "  --column NAME      the address column; default email\n"
    "  --timeout S        stop a statement run after S seconds (default 600); it counts as failed\n"
    "  --no-cat           skip timing cat FILE > /dev/null\n"
    "  --print            print the statements and exit\n";

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string connectionString(const std::string& dir)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir +
           ";Extended Properties=\"Text;HDR=Yes;IMEX=1;FMT=Delimited(;)\"";
}

// Child side: run one statement, print "OK run walk records<TAB>result".
int runOne(const std::string& key, const std::string& dir, const std::string& table, const std::string& column,
           unsigned timeoutSeconds)
{
    ::alarm(timeoutSeconds);   // a hanging statement ends the child, not the benchmark
    // Statements and the connection string are GBK text; the file system's names are UTF-8.
    const auto gbkDir = platform::utf8ToGbk(dir);
    const auto gbkTable = platform::utf8ToGbk(table);
    if (!gbkDir || !gbkTable) {
        std::cerr << "engine-bench: the file's path has no GBK spelling\n";
        return 1;
    }
    std::string sql;
    for (const auto& s : bench::allStatements(*gbkTable, column))
        if (s.key == key)
            sql = s.sql;
    if (sql.empty()) {
        std::cerr << "engine-bench: unknown statement " << key << "\n";
        return 2;
    }
    try {
        const auto start = Clock::now();
        engine::Connection conn;
        conn.open(connectionString(*gbkDir));
        engine::ResultSet rs;
        rs.open(conn, sql);
        const double run = secondsSince(start);

        const std::size_t records = rs.recordCount();
        std::string result;
        rs.first();
        if (!rs.eof()) {
            if (key == "count") {
                result = std::string(rs.value("rcount").value_or("(null)"));
            } else if (key.rfind("domains", 0) == 0) {
                result = std::string(rs.value("domain").value_or("(null)")) + "=" +
                         std::string(rs.value("quantity").value_or("(null)"));
            } else {
                result = std::string(rs.value(std::size_t{0}).value_or("(null)"));
            }
        }
        // What a consumer such as the CSV writer pays on top: visit every value.
        const auto walkStart = Clock::now();
        std::size_t bytes = 0;
        const std::size_t columns = rs.columnNames().size();
        for (rs.first(); !rs.eof(); rs.next())
            for (std::size_t c = 0; c < columns; ++c)
                bytes += rs.value(c).value_or("").size();
        const double walk = secondsSince(walkStart);
        rs.close();
        conn.close();
        std::printf("OK %.6f %.6f %zu %zu\t%s\n", run, walk, records, bytes, result.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "engine-bench: " << key << ": " << e.what() << "\n";
        return 1;
    }
}

std::string selfPath()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        throw std::runtime_error("cannot find own executable");
    return std::string(buf, static_cast<std::size_t>(n));
}

std::vector<std::string> splitComma(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

bool lowerEquals(std::string a, std::string b)
{
    auto lower = [](std::string& s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    };
    lower(a);
    lower(b);
    return a == b;
}

void warnAboutSchemaIni(const std::string& dir, const std::string& table)
{
    const std::string section = platform::utf8ToGbk(table).value_or(table);   // sections are GBK text
    std::ifstream ini(dir + "/Schema.ini");
    for (std::string line; std::getline(ini, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']' &&
            lowerEquals(line.substr(1, line.size() - 2), section))
            std::cerr << "engine-bench: warning: " << dir << "/Schema.ini has a section [" << table
                      << "]; its settings override HDR/FMT of the connection\n";
    }
}

struct Row {
    std::string name;
    std::size_t records = 0;
    std::string result;
    std::vector<double> seconds;
    double walk = 0;
    double cpuOfBest = 0;   // CPU seconds of the whole child process of the best run
    long maxRssKb = 0;
    bool failed = false;
    bool isCat = false;   // no records, no result
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void printTable(const std::vector<Row>& rows, double fileMb)
{
    std::printf("| %-18s | %10s | %-26s | %8s | %8s | %8s | %6s | %11s | %7s |\n", "statement", "records",
                "result", "best s", "median s", "MB/s", "cpu s", "peak RSS MB", "walk s");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(20, '-').c_str(), std::string(12, '-').c_str(),
                std::string(28, '-').c_str(), std::string(10, '-').c_str(), std::string(10, '-').c_str(),
                std::string(10, '-').c_str(), std::string(8, '-').c_str(), std::string(13, '-').c_str(),
                std::string(9, '-').c_str());
    for (const auto& r : rows) {
        if (r.failed) {
            std::printf("| %-18s | %10s | %-26s | %8s | %8s | %8s | %6s | %11s | %7s |\n", r.name.c_str(), "-",
                        "FAILED", "-", "-", "-", "-", "-", "-");
            continue;
        }
        const double best = *std::min_element(r.seconds.begin(), r.seconds.end());
        std::string result = r.result.size() > 26 ? r.result.substr(0, 23) + "..." : r.result;
        const std::string records = r.isCat ? "-" : std::to_string(r.records);
        char walk[32] = "-";
        if (!r.isCat)
            std::snprintf(walk, sizeof walk, "%.3f", r.walk);
        std::printf("| %-18s | %10s | %-26s | %8.3f | %8.3f | %8.1f | %6.2f | %11.1f | %7s |\n", r.name.c_str(),
                    records.c_str(), result.c_str(), best, median(r.seconds), best > 0 ? fileMb / best : 0.0,
                    r.cpuOfBest, r.maxRssKb / 1024.0, walk);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 6 && args[0] == "--run-one")
        return runOne(args[1], args[2], args[3], args[4], static_cast<unsigned>(std::atoi(args[5].c_str())));

    std::vector<std::string> wanted;
    int repeat = 1;
    int timeout = 600;
    std::string column = "email";
    bool cat = true;
    bool print = false;
    std::string file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--statements" && hasValue) {
            wanted = splitComma(args[++i]);
        } else if (a == "--repeat" && hasValue) {
            repeat = std::atoi(args[++i].c_str());
        } else if (a == "--timeout" && hasValue) {
            timeout = std::atoi(args[++i].c_str());
        } else if (a == "--column" && hasValue) {
            column = args[++i];
        } else if (a == "--no-cat") {
            cat = false;
        } else if (a == "--print") {
            print = true;
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (!a.empty() && a[0] != '-' && file.empty()) {
            file = a;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (file.empty() || repeat < 1 || timeout < 1) {
        std::cerr << kUsage;
        return 2;
    }

    char resolved[PATH_MAX];
    struct stat st {};
    if (!::realpath(file.c_str(), resolved) || ::stat(resolved, &st) != 0) {
        std::cerr << "engine-bench: cannot read " << file << "\n";
        return 1;
    }
    const std::string path = resolved;
    const std::string dir = path.substr(0, path.rfind('/')).empty() ? "/" : path.substr(0, path.rfind('/'));
    const std::string table = path.substr(path.rfind('/') + 1);
    const double fileMb = static_cast<double>(st.st_size) / 1e6;

    const auto all = bench::allStatements(table, column);
    if (wanted.empty())
        for (const auto& s : all)
            wanted.push_back(s.key);
    for (const auto& w : wanted) {
        if (std::none_of(all.begin(), all.end(), [&](const auto& s) { return s.key == w; })) {
            std::cerr << "engine-bench: unknown statement " << w << "\n" << kUsage;
            return 2;
        }
    }
    if (print) {
        for (const auto& s : all)
            if (std::find(wanted.begin(), wanted.end(), s.key) != wanted.end())
                std::cout << s.key << ": " << s.sql << "\n";
        return 0;
    }

    warnAboutSchemaIni(dir, table);
    // Other work on the machine skews the figures; say how busy it was.
    std::ifstream loadavg("/proc/loadavg");
    std::string load1, load5;
    loadavg >> load1 >> load5;
    std::printf("load average before: %s (1 min) %s (5 min)\n", load1.c_str(), load5.c_str());
    std::printf("file: %s (%.1f MB = %lld bytes)\nconnection: %s\nruns per statement: %d\n\n", path.c_str(),
                fileMb, static_cast<long long>(st.st_size), connectionString(dir).c_str(), repeat);
    std::fflush(stdout);

    std::vector<Row> rows;
    if (cat) {
        bench::runChild({"/bin/cat", path}, std::string("/dev/null"));   // warm the page cache
        Row r;
        r.name = "cat > /dev/null";
        for (int i = 0; i < repeat; ++i) {
            const auto run = bench::runChild({"/bin/cat", path}, std::string("/dev/null"));
            r.failed = r.failed || run.exitCode != 0;
            if (r.seconds.empty() || run.wallSeconds < *std::min_element(r.seconds.begin(), r.seconds.end()))
                r.cpuOfBest = run.cpuSeconds;
            r.seconds.push_back(run.wallSeconds);
            r.maxRssKb = std::max(r.maxRssKb, run.maxRssKb);
        }
        r.isCat = true;
        rows.push_back(r);
    }

    const std::string self = selfPath();
    for (const auto& key : wanted) {
        Row r;
        r.name = key;
        for (int i = 0; i < repeat && !r.failed; ++i) {
            const auto run = bench::runChild({self, "--run-one", key, dir, table, column, std::to_string(timeout)});
            double runSeconds = 0, walk = 0;
            std::size_t records = 0, bytes = 0;
            char ok[3] = {};
            if (run.exitCode == 128 + SIGALRM)
                std::fprintf(stderr, "engine-bench: %s: stopped after %d s\n", key.c_str(), timeout);
            if (run.exitCode != 0 ||
                std::sscanf(run.output.c_str(), "%2s %lf %lf %zu %zu", ok, &runSeconds, &walk, &records, &bytes) != 5) {
                r.failed = true;
                break;
            }
            const auto tab = run.output.find('\t');
            r.result = tab == std::string::npos ? "" : run.output.substr(tab + 1);
            while (!r.result.empty() && (r.result.back() == '\n' || r.result.back() == '\r'))
                r.result.pop_back();
            r.records = records;
            if (r.seconds.empty() || runSeconds < *std::min_element(r.seconds.begin(), r.seconds.end()))
                r.cpuOfBest = run.cpuSeconds;
            r.seconds.push_back(runSeconds);
            r.walk = std::max(r.walk, walk);
            r.maxRssKb = std::max(r.maxRssKb, run.maxRssKb);
        }
        rows.push_back(r);
        std::fprintf(stderr, "  %s done\n", key.c_str());
    }

    printTable(rows, fileMb);
    std::printf("\nMB/s = file size / best time; seconds: connection open + statement run (every row kept);\n"
                "walk s: visiting every value of the result afterwards (not in MB/s); cpu s: user + system\n"
                "time of the best run's whole child process (above best s = more than one core busy);\n"
                "peak RSS: the child's ru_maxrss; result: rcount, first domain=quantity, or first value.\n");
    const bool anyFailed = std::any_of(rows.begin(), rows.end(), [](const Row& r) { return r.failed; });
    return anyFailed ? 1 : 0;
}
