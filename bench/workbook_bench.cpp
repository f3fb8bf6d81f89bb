// workbook-bench: the table copy of a large workbook.
//
//   workbook-bench make FILE.xlsx ROWS [--inline]
//       writes a workbook of ROWS addresses (libxlsxwriter): a header
//       "name,email,city", then a name, a distinct address and a city per
//       row; shared strings unless --inline (constant-memory mode)
//   workbook-bench convert FILE OUT.csv [--repeat N]
//       opens the workbook and writes its default sheet's table copy,
//       N times; prints each run's seconds, the median, the shared strings'
//       size (xlsx) and the peak resident memory of the process
#include <sys/resource.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "workbook/workbook.h"

namespace {

int make(const std::string& path, long rows, bool inlineStrings) {
    lxw_workbook_options options = {};
    options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    if (!book) return 1;
    lxw_worksheet* sheet = workbook_add_worksheet(book, "名单");
    worksheet_write_string(sheet, 0, 0, "name", nullptr);
    worksheet_write_string(sheet, 0, 1, "email", nullptr);
    worksheet_write_string(sheet, 0, 2, "city", nullptr);
    static const char* domains[] = {"qq.com", "163.com", "126.com", "sina.com", "gmail.com", "hotmail.com"};
    static const char* cities[] = {"北京", "上海", "广州", "深圳", "杭州", "成都", "武汉", "南京"};
    char text[96];
    for (long i = 1; i <= rows; ++i) {
        std::snprintf(text, sizeof text, "用户%ld", i);
        worksheet_write_string(sheet, static_cast<lxw_row_t>(i), 0, text, nullptr);
        std::snprintf(text, sizeof text, "User%ld.%ld@%s", i, (i * 7919) % 1000, domains[(i * 31) % 6]);
        worksheet_write_string(sheet, static_cast<lxw_row_t>(i), 1, text, nullptr);
        worksheet_write_string(sheet, static_cast<lxw_row_t>(i), 2, cities[i % 8], nullptr);
    }
    return workbook_close(book) == LXW_NO_ERROR ? 0 : 1;
}

int convert(const std::string& path, const std::string& out, int repeat) {
    std::vector<double> seconds;
    workbook::TableCopy copy;
    for (int run = 0; run < repeat; ++run) {
        const auto start = std::chrono::steady_clock::now();
        try {
            auto book = workbook::Workbook::open(path);
            copy = book->writeTableCopy(book->defaultSheet(), out);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::printf("run %d: %.3f s\n", run + 1, seconds.back());
    }
    std::sort(seconds.begin(), seconds.end());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rows %llu, columns %zu; best %.3f s, median %.3f s; peak RSS %.1f MiB\n",
                static_cast<unsigned long long>(copy.rows), copy.columns, seconds.front(), seconds[seconds.size() / 2],
                usage.ru_maxrss / 1024.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "make")
        return make(args[1], std::atol(args[2].c_str()), args.size() > 3 && args[3] == "--inline");
    if (args.size() >= 3 && args[0] == "convert")
        return convert(args[1], args[2], args.size() > 4 && args[3] == "--repeat" ? std::atoi(args[4].c_str()) : 1);
    std::fprintf(stderr,
                 "usage: workbook-bench make FILE.xlsx ROWS [--inline]\n"
                 "       workbook-bench convert FILE OUT.csv [--repeat N]\n");
    return 2;
}
