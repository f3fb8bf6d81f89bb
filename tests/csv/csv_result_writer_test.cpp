#include "csv/csv_result_writer.h"

#include <gtest/gtest.h>

#include "csv/output_file.h"
#include "faulty_file_system.h"
#include "test_files.h"

using csv::CsvResultWriter;
using testing_files::readFile;
using testing_files::writeFile;

// A result set over a comma-delimited table without a header line.
class Writer : public testing::Test {
protected:
    void query(const std::string& tableBytes, const std::string& sql = "select * from [t.txt]") {
        writeFile(dir / "t.txt", tableBytes);
        if (!connection.isOpen())
            connection.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.path() +
                            ";Extended Properties=\"Text;HDR=No;IMEX=1;FMT=Delimited\"");
        if (result.isOpen()) result.close();
        result.open(connection, sql);
    }
    std::string write() {
        CsvResultWriter(result).WriteCsvFile(dir / "out.csv");
        return readFile(dir / "out.csv");
    }

    testing_files::TempDir dir;
    engine::Connection connection;
    engine::ResultSet result;
};

struct FormatCase {
    const char* name;
    std::string table;
    std::string expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class WriterFormat : public Writer, public testing::WithParamInterface<FormatCase> {};

TEST_P(WriterFormat, BytesExactly) {
    query(GetParam().table);
    EXPECT_EQ(write(), GetParam().expected);
    EXPECT_TRUE(result.eof());  // the cursor is left past the last row
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriterFormat,
    testing::Values(
        FormatCase{"TwoRowsNoTitleNoFinalLineEnd", "a\r\nb\r\n", "\"a\"\r\n\"b\""},
        FormatCase{"QuoteIsDoubled", "\"ab\"\"xy\"\r\n", "\"ab\"\"xy\""},
        FormatCase{"SeveralQuotes", "\"\"\"\"\"\"\"\"\r\n", "\"\"\"\"\"\"\"\""},
        FormatCase{"TwoCellsSemicolon", "x,y\r\n", "\"x\";\"y\""},
        FormatCase{"NullIsEmptyQuotes", "x,\r\n", "\"x\";\"\""},
        FormatCase{"SemicolonAndCommaInside", "\"a;b,c\"\r\n", "\"a;b,c\""},
        FormatCase{"GbkPassesThrough", "\xd3\xca\xbc\xfe@\xc0\xfd.cn\r\n\x81\x40x\r\n",
                   "\"\xd3\xca\xbc\xfe@\xc0\xfd.cn\"\r\n\"\x81\x40x\""},
        FormatCase{"SingleRow", "only\r\n", "\"only\""}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST_F(Writer, ReplacesALongerFileWithoutTail) {
    writeFile(dir / "out.csv", std::string(5000, 'z'));
    query("a\r\n");
    EXPECT_EQ(write(), "\"a\"");
}

TEST_F(Writer, ManyRowsThroughTheBuffer) {
    std::string table, expected;
    for (int i = 0; i < 200000; ++i) {
        const std::string value = "user" + std::to_string(i) + "@example.com";
        table += value + "\r\n";
        expected += (i ? "\r\n\"" : "\"") + value + "\"";
    }
    query(table);
    EXPECT_EQ(write(), expected);
}

TEST_F(Writer, MissingDirectoryCreatesNothing) {
    query("a\r\n");
    const std::string path = dir / "nodir/out.csv";
    try {
        CsvResultWriter(result).WriteCsvFile(path);
        FAIL() << "wrote into a missing directory";
    } catch (const csv::OutputFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
    }
    EXPECT_FALSE(testing_files::exists(path));
}

TEST_F(Writer, FullDiskIsAnErrorAndKeepsTheEarlierFile) {
    query("a\r\nb\r\n");
    writeFile(dir / "out.csv", "\"earlier\"");
    testsupport::FaultyFileSystem disk;
    disk.failAt(testsupport::FaultyFileSystem::Call::Append, 1);
    platform::ScopedFileSystem installed(disk);
    try {
        CsvResultWriter(result).WriteCsvFile(dir / "out.csv");
        FAIL() << "a full disk went unnoticed";
    } catch (const csv::OutputFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + dir.path() + "/out.csv\". No space left on device");
    }
    EXPECT_EQ(readFile(dir / "out.csv"), "\"earlier\"");
    EXPECT_EQ(testing_files::listDir(dir.path()), (std::vector<std::string>{"out.csv", "t.txt"}));
}
