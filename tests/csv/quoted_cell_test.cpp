// The one-copy path of a quoted cell writes the bytes of the plain path, at
// every buffer size (cells that straddle, fill or exceed the buffer).
#include "csv/quoted_cell.h"

#include <gtest/gtest.h>

#include "test_files.h"

using testing_files::readFile;

TEST(QuotedCell, FastPathWritesThePlainPathsBytes) {
    testing_files::TempDir dir;
    const std::vector<std::string> cells = {
        "",          "a1@x.com",  "\"",       "\"\"",      "a\"b",           "\"start", "end\"",
        "\xCD\xF5@qq.com", std::string(7, 'x'), std::string(40, 'y'), "x\"" + std::string(30, 'z') + "\"",
        std::string(15, 'q') + "\"", std::string(70, 'r') + "\"" + "s", std::string(100, 't'), "\xA2\xA2\xFF\x80\x22x",
    };
    const std::string leads[] = {"", ";", "\r\n"};
    for (std::size_t bufferSize : {1u, 2u, 3u, 7u, 9u, 64u, 1u << 20}) {
        csv::OutputFile fast(dir / "fast.csv", bufferSize);
        csv::OutputFile plain(dir / "plain.csv", bufferSize);
        for (std::size_t i = 0; i < cells.size() * 3; ++i) {
            const std::string& cell = cells[i % cells.size()];
            const std::string& lead = leads[i % 3];
            csv::writeQuotedCell(fast, lead, cell);
            plain.write(lead);
            csv::WriteQuotedCell(plain, cell);
        }
        EXPECT_EQ(fast.size(), plain.size()) << bufferSize;
        fast.close();
        plain.close();
        const std::string bytes = readFile(dir / "plain.csv");
        EXPECT_EQ(readFile(dir / "fast.csv"), bytes) << bufferSize;
        EXPECT_NE(bytes.find(";\"a\"\"b\""), std::string::npos);
    }
}

