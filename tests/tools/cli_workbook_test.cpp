// Workbooks on the command line: --source and --exclude-file take .xlsx and
// .xls files, --sheet NAME|NUMBER picks the worksheet; the files are those
// of the same list saved as UTF-8 CSV with a byte-order mark; a bad workbook
// or sheet is a failure with its message and no file; the private folder is
// gone when the program ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cli_process.h"
#include "xlsx_list_book.h"

namespace clitest {
namespace {

using testsupport::BookSheet;
using testsupport::textColumn;
using testsupport::writeListBook;

const std::string kBom = "\xEF\xBB\xBF";

// name;email with a header line, as a spreadsheet holds it.
const std::vector<std::vector<std::string>> kRows = {
    {"name", "email"},         {"张三", "Alice@QQ.com"},  {"李四", "bob@163.com"},     {"王五", "alice@qq.com"},
    {"赵六", "not-an-address"}, {"钱七", "c@@163.com"},    {"孙八", "admin@sina.com"}, {"周九", "dave@mail.qq.com"},
};

BookSheet listSheet() {
    BookSheet sheet{"名单", {}};
    for (const auto& row : kRows) sheet.rows.push_back({testsupport::text(row[0]), testsupport::text(row[1])});
    return sheet;
}

std::string listCsv() {
    std::string csv = kBom;
    for (const auto& row : kRows) csv += row[0] + "," + row[1] + "\r\n";
    return csv;
}

const std::vector<std::string> kSecond = {"x@qq.com", "Y@163.com"};

// The workbook (an empty sheet first, the list, a second list) in one folder,
// the same list as CSV in another; an exclusion list beside each.
class CliWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override {
        bookDir = root.makeDir("book");
        textDir = root.makeDir("text");
        cache = root.makeDir("cache");
        writeListBook(bookDir + "/名单.xlsx", {{"说明", {}}, listSheet(), textColumn("第二", kSecond)});
        writeListBook(bookDir + "/排除.xlsx", {textColumn("Sheet1", {"bob@163.com", "x@qq.com"})});
        writeBytes(textDir + "/名单.csv", listCsv());
        writeBytes(textDir + "/排除.csv", kBom + "bob@163.com\r\nx@qq.com\r\n");
    }
    CliRun run(std::vector<std::string> args) const { return runCli(args, {{"XDG_CACHE_HOME", cache}}); }
    std::map<std::string, std::string> files(const std::string& dir, const std::vector<std::string>& except) const {
        std::map<std::string, std::string> found;
        for (const auto& name : listNames(dir))
            if (std::find(except.begin(), except.end(), name) == except.end())
                found[name] = readBytes(dir + "/" + name);
        return found;
    }
    // Every file left under the cache folder.
    std::vector<std::string> cacheFiles() const {
        std::vector<std::string> found;
        for (const auto& e : std::filesystem::recursive_directory_iterator(cache))
            if (!e.is_directory()) found.push_back(e.path().string());
        return found;
    }

    TempDir root;
    std::string bookDir, textDir, cache;
};

TEST_F(CliWorkbookTest, ExportsAsTheSameListSavedAsCsv) {
    const struct {
        const char* name;
        std::vector<std::string> options;
        std::vector<std::string> textOptions;
    } cases[] = {
        {"full export", {"--export-all"}, {"--export-all"}},
        {"split", {"--export-all", "--split-rows", "2"}, {"--export-all", "--split-rows", "2"}},
        {"exclusion workbook", {"--export-all", "--exclude-file", "排除.xlsx"},
         {"--export-all", "--exclude-file", "排除.csv"}},
        {"domain export", {"--export-domain"}, {"--export-domain"}},
        {"second sheet by name", {"--sheet", "第二", "--column", "F1", "--export-all"}, {"--column", "F1", "--export-all"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& dir : {bookDir, textDir, cache}) std::filesystem::remove_all(dir);
        SetUp();
        const bool second = std::string(c.name).find("second") != std::string::npos;
        if (second) writeBytes(textDir + "/名单.csv", kBom + "x@qq.com\r\nY@163.com\r\n");
        std::vector<std::string> bookArgs{"--source", bookDir + "/名单.xlsx"};
        std::vector<std::string> textArgs{"--source", textDir + "/名单.csv"};
        if (!second) {
            // The separator does not apply to a workbook.
            bookArgs.insert(bookArgs.end(), {"--header", "--column", "email", "--delimiter", "tab"});
            textArgs.insert(textArgs.end(), {"--header", "--column", "email"});
        }
        bookArgs.insert(bookArgs.end(), c.options.begin(), c.options.end());
        textArgs.insert(textArgs.end(), c.textOptions.begin(), c.textOptions.end());
        const CliRun fromBook = run(bookArgs);
        const CliRun fromText = run(textArgs);
        ASSERT_EQ(fromBook.exitCode, 0) << fromBook.err;
        ASSERT_EQ(fromText.exitCode, 0) << fromText.err;
        EXPECT_EQ(fromBook.out, fromText.out);
        const auto bookFiles = files(bookDir, {"名单.xlsx", "排除.xlsx"});
        EXPECT_EQ(bookFiles, files(textDir, {"名单.csv", "排除.csv", "Schema.ini"}));
        ASSERT_TRUE(bookFiles.count("名单-Export.csv") || bookFiles.count("名单-Export-OtherDomain.csv"));
        for (const auto& [name, bytes] : bookFiles) EXPECT_EQ(bytes.substr(0, 3), kBom) << name;
        EXPECT_EQ(cacheFiles(), std::vector<std::string>());
    }
}

TEST_F(CliWorkbookTest, SheetsByNameAndNumber) {
    const struct {
        std::string sheet;
        std::string out;
    } cases[] = {
        {"第二", "F1\n\"x@qq.com\"\n\"Y@163.com\"\n"},
        {"3", "F1\n\"x@qq.com\"\n\"Y@163.com\"\n"},
        {"名单", "F1;F2\n\"name\";\"email\"\n\"张三\";\"Alice@QQ.com\"\n"},
        {"2", "F1;F2\n\"name\";\"email\"\n\"张三\";\"Alice@QQ.com\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheet);
        const CliRun r = run({"--source", bookDir + "/名单.xlsx", "--sheet", c.sheet, "--preview"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
    }
    const CliRun count = run({"--source", bookDir + "/名单.xlsx", "--header", "--count"});
    ASSERT_EQ(count.exitCode, 0) << count.err;
    EXPECT_NE(count.out.find("7"), std::string::npos) << count.out;
}

TEST_F(CliWorkbookTest, BadWorkbooksAndSheetsFailWithTheirMessage) {
    writeBytes(bookDir + "/截断.xlsx", readBytes(bookDir + "/名单.xlsx").substr(0, 300));
    writeListBook(bookDir + "/空.xlsx", {{"一", {}}});
    const std::string book = bookDir + "/名单.xlsx";
    const struct {
        const char* what;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"unknown sheet", {"--source", book, "--sheet", "名册", "--export-all"}, "中没有名为\"名册\"的工作表"},
        {"sheet number too large", {"--source", book, "--sheet", "4", "--count"}, "中没有第4个工作表"},
        {"empty sheet", {"--source", book, "--sheet", "说明", "--export-all"}, "的工作表\"说明\"中没有数据"},
        {"truncated workbook", {"--source", bookDir + "/截断.xlsx", "--export-all"}, "已损坏或不完整"},
        {"no sheet with data", {"--source", bookDir + "/空.xlsx", "--export-all"}, "没有含有数据的工作表"},
        {"truncated exclusion workbook",
         {"--source", book, "--header", "--column", "email", "--exclude-file", "截断.xlsx", "--export-all"},
         "已损坏或不完整"},
    };
    const auto before = files(bookDir, {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(files(bookDir, {}), before);
        EXPECT_EQ(cacheFiles(), std::vector<std::string>());
    }
    // The names of the sheets there are, for a name mistyped.
    const CliRun typo = run({"--source", book, "--sheet", "名册", "--count"});
    EXPECT_NE(typo.err.find("\"说明\", \"名单\", \"第二\""), std::string::npos) << typo.err;
}

TEST_F(CliWorkbookTest, SheetBelongsToAWorkbookSource) {
    const CliRun r = run({"--source", textDir + "/名单.csv", "--sheet", "1", "--count"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--sheet belongs to a workbook source"), std::string::npos) << r.err;
    const CliRun empty = run({"--source", bookDir + "/名单.xlsx", "--sheet", "", "--count"});
    EXPECT_EQ(empty.exitCode, 2);
}

}  // namespace
}  // namespace clitest
