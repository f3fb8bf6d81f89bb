// Workbooks as sources, end to end through the operations core: a worksheet
// is bound through its table copy in the tool's private folder, and every
// result file is byte for byte the file that the same list saved as UTF-8
// CSV with a byte-order mark gives; a workbook may be the exclusion file;
// nothing is written beside the workbook; bad workbooks are refused with a
// clear message, the binding before them and the output folder untouched;
// the private folder goes at shut-down and, after a crash, at the next start.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>

#include "core/workspace.h"
#include "platform/file_system.h"
#include "platform/private_folder.h"
#include "faulty_file_system.h"
#include "recording_feedback.h"
#include "temp_dir.h"
#include "xlsx_list_book.h"
#include "xlsx_package.h"

using namespace testsupport;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Sheet "名单": every cell kind, a field with a comma, quotes and a line
// break, Chinese text and an emoji, empty cells in the middle and at the end
// of rows, valid, invalid and erroneous addresses of several domains.
BookSheet namedList() {
    return {"名单",
            {
                {text("email"), text("name"), text("phone"), text("score"), text("vip"), text("joined"),
                 text("total"), text("note")},
                {text("Alice@QQ.com"), text("张三"), number(13800138000), number(3.5), boolean(true),
                 date(2024, 3, 1), formula("=C2+D2", 13800138003.5), text("a,b \"c\"\nd")},
                {text("bob@163.com"), text("李四😀"), number(42), empty(), boolean(false),
                 dateTime(2024, 3, 1, 8, 30), textFormula("=\"x\"", "x")},
                {text("alice@qq.com"), empty(), empty(), empty(), empty(), empty(), empty(), text("王五")},
                {text("无效地址"), text("赵六")},
                {text("c@@163.com"), text("钱七")},
                {text("张三😀@qq.com"), text("孙八")},
                {text("admin@sina.com"), text("周九")},
                {text("verylongprefix123@163.com")},
                {text("dave@mail.qq.com")},
                {text("Carol@Gmail.com"), number(-0.25)},
            }};
}

// The same list as a spreadsheet program saves it as CSV.
const std::string kNamedListCsv =
    "email,name,phone,score,vip,joined,total,note\r\n"
    "Alice@QQ.com,张三,13800138000,3.5,TRUE,2024-03-01,13800138003.5,\"a,b \"\"c\"\"\nd\"\r\n"
    "bob@163.com,李四😀,42,,FALSE,2024-03-01 08:30:00,x\r\n"
    "alice@qq.com,,,,,,,王五\r\n"
    "无效地址,赵六\r\n"
    "c@@163.com,钱七\r\n"
    "张三😀@qq.com,孙八\r\n"
    "admin@sina.com,周九\r\n"
    "verylongprefix123@163.com\r\n"
    "dave@mail.qq.com\r\n"
    "Carol@Gmail.com,-0.25\r\n";

const std::vector<std::string> kUnsubscribed = {"X@QQ.com", "y@163.com", "x@qq.com", "not-an-address"};
const std::string kUnsubscribedCsv = "X@QQ.com\r\ny@163.com\r\nx@qq.com\r\nnot-an-address\r\n";

// The source workbook: an empty sheet first (not bound by default), the
// list, a second list.
void writeSourceBook(const std::string& path, bool inlineStrings) {
    writeListBook(path, {{"说明", {}}, namedList(), textColumn("退订", kUnsubscribed)}, inlineStrings);
}

const std::vector<std::string> kExcluded = {"bob@163.com", "admin@sina.com", "x@qq.com"};
const std::string kExcludedCsv = "bob@163.com\r\nadmin@sina.com\r\nx@qq.com\r\n";

const std::string kTopTen = "[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=10\r\n";

// Every file of a folder but the ones named, by name.
std::map<std::string, std::string> filesOf(const std::string& dir, const std::vector<std::string>& except) {
    std::map<std::string, std::string> files;
    for (const std::string& name : listNames(dir))
        if (std::find(except.begin(), except.end(), name) == except.end()) files[name] = readBytes(dir + "/" + name);
    return files;
}

// A fresh root for the private folders of one test.
struct PrivateRoot {
    TempDir dir{"emailclean-private"};
    std::string path() const { return dir / "tables"; }
    // Every file under the root, with its folder.
    std::vector<std::string> files() const {
        std::vector<std::string> found;
        std::error_code ignored;
        for (auto it = std::filesystem::recursive_directory_iterator(dir.path(), ignored);
             it != std::filesystem::recursive_directory_iterator(); ++it)
            if (it->is_regular_file()) found.push_back(std::filesystem::relative(it->path(), dir.path()).string());
        std::sort(found.begin(), found.end());
        return found;
    }
};

struct SourceCase {
    const char* name;
    bool inlineStrings;
    bool header;
    std::optional<std::string> sheet;  // as the user names it
    std::string csv;                   // the sheet saved as CSV
    std::string column;
    bool excludeByWorkbook;
};

std::vector<SourceCase> sourceCases() {
    return {
        {"shared strings, header, exclusion workbook", false, true, std::nullopt, kNamedListCsv, "email", true},
        {"inline strings, header", true, true, std::nullopt, kNamedListCsv, "email", false},
        {"no header line", false, false, std::nullopt, kNamedListCsv, "F1", true},
        {"sheet by name", false, false, "退订", kUnsubscribedCsv, "F1", false},
        {"sheet by number", true, false, "3", kUnsubscribedCsv, "F1", true},
    };
}

// Opens the list, runs the full export (split into parts of three rows) and
// the domain export into its own folder; what the list shows.
struct ListRun {
    core::BindOutcome bound;
    std::vector<std::string> previewFirstColumn;
    std::vector<std::string> messages;
};

ListRun runList(const std::string& path, const core::SourceOptions& options, const std::string& column,
                const std::string& excludeFile, const std::string& settings, const std::string& privateRoot) {
    RecordingFeedback feedback;
    core::Workspace workspace(feedback, privateRoot);
    ListRun run;
    run.bound = workspace.OpenSourceFile(path, options, true);
    if (!run.bound.previewed) {
        run.messages = feedback.messages;
        return run;
    }
    for (std::size_t r = 0; r < workspace.previewResult().recordCount(); ++r) {
        const auto value = workspace.previewResult().value(r, 0);
        run.previewFirstColumn.push_back(value ? std::string(*value) : "<null>");
    }
    exporting::CleaningOptions cleaning;
    cleaning.split = true;
    cleaning.splitRows = "3";
    if (!excludeFile.empty()) {
        cleaning.excludeFile = true;
        cleaning.excludeFileName = excludeFile;
    }
    const std::string dir = platform::directoryOf(path);
    EXPECT_TRUE(workspace.ExportAll(cleaning, column, dir));
    EXPECT_TRUE(workspace.ExportByDomain(cleaning, column, dir, settings));
    run.messages = feedback.messages;
    return run;
}

// The source workbook in a folder of its own, bound by a workspace of its own.
class BoundBook : public testing::Test {
protected:
    BoundBook() { writeSourceBook(book / "名单.xlsx", false); }
    core::BindOutcome open(bool header) {
        return workspace.OpenSourceFile(book / "名单.xlsx", core::SourceOptions{header, 0}, true);
    }

    TempDir book;
    PrivateRoot root;
    RecordingFeedback feedback;
    core::Workspace workspace{feedback, root.path()};
};

}  // namespace

TEST(WorkbookSource, EveryResultFileAsTheSameListSavedAsUtf8Csv) {
    for (const SourceCase& c : sourceCases()) {
        SCOPED_TRACE(c.name);
        TempDir book, text, settings;
        PrivateRoot root;
        settings.write("settings.ini", kTopTen);
        writeSourceBook(book / "名单.xlsx", c.inlineStrings);
        writeListBook(book / "排除.xlsx", {textColumn("Sheet1", kExcluded)});
        text.write("名单.csv", kBom + c.csv);
        text.write("排除.csv", kBom + kExcludedCsv);

        // The separator and the encoding chosen do not apply to a workbook.
        const core::SourceOptions bookOptions{c.header, 1, source::EncodingChoice::Gbk, c.sheet};
        const ListRun fromBook = runList(book / "名单.xlsx", bookOptions, c.column,
                                         c.excludeByWorkbook ? "排除.xlsx" : "", settings / "settings.ini", root.path());
        const ListRun fromText = runList(text / "名单.csv", core::SourceOptions{c.header, 0}, c.column,
                                         c.excludeByWorkbook ? "排除.csv" : "", settings / "settings.ini",
                                         root.path());
        ASSERT_TRUE(fromBook.bound.previewed) << (fromBook.messages.empty() ? "" : fromBook.messages.front());
        ASSERT_TRUE(fromText.bound.previewed);
        EXPECT_TRUE(fromBook.bound.workbook);
        EXPECT_EQ(fromBook.bound.sheets, (std::vector<std::string>{"说明", "名单", "退订"}));
        EXPECT_EQ(fromBook.bound.sheet, c.sheet ? 2u : 1u);
        EXPECT_EQ(fromBook.bound.encoding, source::TextEncoding::Utf8Bom);
        EXPECT_EQ(fromBook.bound.columns, fromText.bound.columns);
        EXPECT_EQ(fromBook.bound.recordCount, fromText.bound.recordCount);
        EXPECT_EQ(fromBook.previewFirstColumn, fromText.previewFirstColumn);
        EXPECT_EQ(fromBook.messages, fromText.messages);

        // Nothing but the results beside the workbook, named as the CSV's are.
        const auto bookFiles = filesOf(book.path(), {"名单.xlsx", "排除.xlsx"});
        const auto textFiles = filesOf(text.path(), {"名单.csv", "排除.csv", "Schema.ini"});
        EXPECT_EQ(bookFiles, textFiles);
        ASSERT_TRUE(bookFiles.count("名单-Export.csv"));
        EXPECT_EQ(bookFiles.at("名单-Export.csv").substr(0, 3), kBom);
        EXPECT_TRUE(bookFiles.count("名单-Export-1.csv"));
        if (c.excludeByWorkbook) {
            EXPECT_TRUE(bookFiles.count("名单-Exclude.csv"));
        }
        // Both workspaces are gone: so is every private folder.
        EXPECT_EQ(root.files(), std::vector<std::string>());
    }
}

// The table copy the engine reads is the sheet as the CSV holds it, and
// lives in the private folder with its description file.
TEST_F(BoundBook, TheTableCopyInThePrivateFolder) {
    const auto bound = open(true);
    ASSERT_TRUE(bound.previewed);
    EXPECT_EQ(bound.recordCount, 10);
    const std::string folder = workspace.privateFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.rfind(root.path() + "/", 0), 0u) << folder;
    EXPECT_EQ(readBytes(folder + "/名单.csv"), kBom + kNamedListCsv);
    EXPECT_NE(readBytes(folder + "/Schema.ini").find("ColNameHeader=True"), std::string::npos);
    EXPECT_EQ(listNames(book.path()), std::vector<std::string>{"名单.xlsx"});
    EXPECT_EQ(workspace.sourceDir(), book.path());
    EXPECT_EQ(workspace.sourceFile(), "名单.xlsx");
    EXPECT_EQ(feedback.messages, std::vector<std::string>());

    workspace.ShutDown();
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(root.files(), std::vector<std::string>());
}

// Another worksheet chosen rebinds as an option change does; the header
// option applies to the workbook as to a text file.
TEST_F(BoundBook, ChoosingAnotherSheetAndTheHeaderOption) {
    ASSERT_TRUE(open(true).previewed);

    core::SourceOptions other{false, 0};
    other.sheet = "退订";
    const auto rebound = workspace.RebindSource(other, true);
    ASSERT_TRUE(rebound.previewed);
    EXPECT_EQ(rebound.sheet, 2u);
    EXPECT_EQ(rebound.columns, std::vector<std::string>{"F1"});
    EXPECT_EQ(rebound.recordCount, 4);
    EXPECT_EQ(workspace.workbook().sheet, 2u);

    // The header option alone keeps the sheet bound.
    const auto header = workspace.RebindSource(core::SourceOptions{true, 0});
    ASSERT_TRUE(header.previewed);
    EXPECT_EQ(header.sheet, 2u);
    EXPECT_EQ(header.columns, std::vector<std::string>{"X@QQ.com"});
    EXPECT_EQ(workspace.previewResult().recordCount(), 3u);

    // An empty sheet is refused; the sheet bound before stays.
    core::SourceOptions emptySheet{true, 0};
    emptySheet.sheet = "说明";
    const auto refused = workspace.RebindSource(emptySheet);
    EXPECT_TRUE(refused.refused);
    EXPECT_FALSE(refused.previewed);
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_NE(feedback.messages[0].find("的工作表\"说明\"中没有数据"), std::string::npos) << feedback.messages[0];
    EXPECT_EQ(workspace.workbook().sheet, 2u);
    EXPECT_EQ(readBytes(workspace.privateFolder() + "/名单.csv"), kBom + kUnsubscribedCsv);
    EXPECT_EQ(feedback.busyDepth, 0);
}

// A workbook saved again while it is bound is read afresh by the next operation.
TEST(WorkbookSource, AWorkbookChangedOnDiskIsConvertedAgain) {
    TempDir book;
    PrivateRoot root;
    writeListBook(book / "list.xlsx", {textColumn("S", {"a@qq.com", "b@qq.com"})});
    RecordingFeedback feedback;
    core::Workspace workspace(feedback, root.path());
    ASSERT_TRUE(workspace.OpenSourceFile(book / "list.xlsx", core::SourceOptions{false, 0}, true).previewed);
    EXPECT_EQ(workspace.previewResult().recordCount(), 2u);
    writeListBook(book / "list.xlsx", {textColumn("S", {"a@qq.com", "b@qq.com", "c@163.com"})});
    ASSERT_TRUE(workspace.PreviewDataBy(preview::DataPreviewInput{}));
    EXPECT_EQ(workspace.previewResult().recordCount(), 3u);
    ASSERT_TRUE(workspace.ExportAll({}, "F1", book.path()));
    EXPECT_EQ(readBytes(book / "list-Export.csv"), kBom + "\"a@qq.com\"\r\n\"b@qq.com\"\r\n\"c@163.com\"");
}

// An .xls list (written by xlwt) gives the files of the same list as CSV.
TEST(WorkbookSource, XlsListAsItsCsv) {
    TempDir book, text, settings;
    PrivateRoot root;
    settings.write("settings.ini", kTopTen);
    ASSERT_EQ(std::system(("/usr/bin/python3 " + std::string(MAKE_WORKBOOKS_SCRIPT) + " list " + (book / "名单.xls") +
                           " 40 >/dev/null")
                              .c_str()),
              0);
    std::string csv = "name,email,city\r\n";
    for (int i = 0; i < 40; ++i)
        csv += "用户" + std::to_string(i) + ",User" + std::to_string(i % 700) + "@Example" + std::to_string(i % 7) +
               ".com,北京\r\n";
    text.write("名单.csv", kBom + csv);
    const ListRun fromBook =
        runList(book / "名单.xls", core::SourceOptions{true, 0}, "email", "", settings / "settings.ini", root.path());
    const ListRun fromText =
        runList(text / "名单.csv", core::SourceOptions{true, 0}, "email", "", settings / "settings.ini", root.path());
    ASSERT_TRUE(fromBook.bound.previewed) << (fromBook.messages.empty() ? "" : fromBook.messages.front());
    EXPECT_EQ(fromBook.bound.recordCount, 40);
    EXPECT_EQ(fromBook.bound.sheets, std::vector<std::string>{"Sheet1"});
    const auto bookFiles = filesOf(book.path(), {"名单.xls"});
    EXPECT_EQ(bookFiles, filesOf(text.path(), {"名单.csv", "Schema.ini"}));
    EXPECT_TRUE(bookFiles.count("名单-Export-example3.com.csv"));
}

// Each bad workbook, as the source or as the exclusion file: its message
// through the usual failure path, and nothing half-done.
TEST(WorkbookSource, BadWorkbooksAreRefusedAndChangeNothing) {
    TempDir bad;
    writeListBook(bad / "good.xlsx", {textColumn("S", {"a@qq.com"})});
    const std::string good = readBytes(bad / "good.xlsx");
    ASSERT_EQ(std::system(("/usr/bin/python3 " + std::string(MAKE_WORKBOOKS_SCRIPT) + " encrypted " +
                           (bad / "加密.xlsx") + " >/dev/null")
                              .c_str()),
              0);
    bad.write("截断.xlsx", good.substr(0, good.size() / 2));
    writeListBook(bad / "空.xlsx", {{"一", {}}, {"二", {}}});
    const std::string row = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>a@b.cn</t></is></c></row>)";
    writeXlsx(bad / "膨胀.xlsx", row + std::string(4u << 20, ' '));
    XlsxParts entity;
    entity.sheets.push_back(
        {"S", "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
              "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
              "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&x;</t></is></c></row></sheetData></worksheet>"});
    writeXlsx(bad / "实体.xlsx", entity);
    bad.write("网页.xls", "<html><table><tr><td>a@b.cn</td></tr></table></html>");

    const struct {
        const char* file;
        std::optional<std::string> sheet;
        const char* text;
    } cases[] = {
        {"加密.xlsx", std::nullopt, "设有打开密码"},
        {"截断.xlsx", std::nullopt, "已损坏或不完整"},
        {"空.xlsx", std::nullopt, "没有含有数据的工作表"},
        {"good.xlsx", std::string("名单"), "中没有名为\"名单\"的工作表"},
        {"good.xlsx", std::string("7"), "中没有第7个工作表"},
        {"膨胀.xlsx", std::nullopt, "解压后的内容过大"},
        {"实体.xlsx", std::nullopt, "不安全的XML内容"},
        {"网页.xls", std::nullopt, "不是Excel工作簿"},
        {"missing.xlsx", std::nullopt, "无法打开工作簿"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        PrivateRoot root;
        if (std::filesystem::exists(bad / c.file)) std::filesystem::copy_file(bad / c.file, dir / c.file);
        dir.write("list.csv", "email\r\nb@qq.com\r\n");
        RecordingFeedback feedback;
        core::Workspace workspace(feedback, root.path());
        ASSERT_TRUE(workspace.OpenSourceFile(dir / "list.csv", core::SourceOptions{true, 0}, true).previewed);
        const auto before = filesOf(dir.path(), {});

        // As the source: refused, the text list still bound and shown.
        core::SourceOptions options{true, 0};
        options.sheet = c.sheet;
        const auto refused = workspace.OpenSourceFile(dir / c.file, options, true);
        EXPECT_TRUE(refused.refused);
        EXPECT_FALSE(refused.previewed);
        ASSERT_EQ(feedback.messages.size(), 1u);
        EXPECT_NE(feedback.messages[0].find(c.text), std::string::npos) << feedback.messages[0];
        EXPECT_NE(feedback.messages[0].find(c.file), std::string::npos) << feedback.messages[0];
        EXPECT_EQ(feedback.failures, std::vector<std::string>());
        EXPECT_EQ(workspace.sourceFile(), "list.csv");
        EXPECT_FALSE(workspace.isWorkbook());
        EXPECT_EQ(workspace.previewResult().recordCount(), 1u);
        EXPECT_EQ(filesOf(dir.path(), {}), before);
        EXPECT_EQ(feedback.busyDepth, 0);

        // As the exclusion file: the export stops before it writes anything.
        if (c.sheet) continue;  // an exclusion workbook is read by its default sheet
        feedback.messages.clear();
        exporting::CleaningOptions exclusion;
        exclusion.excludeFile = true;
        exclusion.excludeFileName = c.file;
        EXPECT_FALSE(workspace.ExportAll(exclusion, "email", dir.path()));
        ASSERT_EQ(feedback.messages.size(), 1u);
        EXPECT_NE(feedback.messages[0].find(c.text), std::string::npos) << feedback.messages[0];
        EXPECT_EQ(filesOf(dir.path(), {}), before);
        EXPECT_EQ(feedback.busyDepth, 0);
        workspace.ShutDown();
        EXPECT_EQ(root.files(), std::vector<std::string>());
    }
}

// The external entity never reaches a preview: /etc/passwd's text is nowhere.
TEST(WorkbookSource, AnExternalEntityReadsNoLocalFile) {
    TempDir dir;
    PrivateRoot root;
    XlsxParts entity;
    entity.sheets.push_back(
        {"S", "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
              "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
              "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&x;</t></is></c></row></sheetData></worksheet>"});
    writeXlsx(dir / "x.xlsx", entity);
    RecordingFeedback feedback;
    {
        core::Workspace workspace(feedback, root.path());
        EXPECT_FALSE(workspace.OpenSourceFile(dir / "x.xlsx", core::SourceOptions{}, true).previewed);
    }
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_EQ(feedback.messages[0].find("root:"), std::string::npos) << feedback.messages[0];
    EXPECT_EQ(root.files(), std::vector<std::string>());
}

// A run that ended without removing its private folder (a crash, a kill):
// the next start removes it, while a running instance keeps its own.
TEST(WorkbookSource, TheNextStartRemovesTheFolderOfACrashedRun) {
    PrivateRoot root;
    platform::PrivateFolder running(root.path());
    writeBytes(running.path() + "/copy.csv", "a\r\n");

    TempDir book;
    writeListBook(book / "list.xlsx", {textColumn("S", {"a@qq.com"})});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Binds a workbook, then dies without any clean-up.
        RecordingFeedback feedback;
        auto* workspace = new core::Workspace(feedback, root.path());
        const bool bound = workspace->OpenSourceFile(book / "list.xlsx", core::SourceOptions{}, false).previewed;
        ::_exit(bound ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto leftovers = root.files();
    // Each run's lock and copy, and the crashed run's description file.
    ASSERT_EQ(leftovers.size(), 5u);

    RecordingFeedback feedback;
    core::Workspace next(feedback, root.path());
    std::vector<std::string> kept = {
        std::filesystem::relative(running.path() + "/copy.csv", root.dir.path()).string(),
        std::filesystem::relative(running.path() + ".lock", root.dir.path()).string()};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(root.files(), kept);
    running.remove();
    EXPECT_EQ(root.files(), std::vector<std::string>());
}

// A full disk while the table copy is written (its file made, written,
// renamed or put in place): the message, nothing half-written, the binding before
// it whole.
TEST(WorkbookSource, AFullDiskWhileTheCopyIsWritten) {
    TempDir dir;
    PrivateRoot root;
    writeSourceBook(dir / "名单.xlsx", false);
    dir.write("list.csv", "email\r\nb@qq.com\r\n");
    // The copy is written as a part, renamed whole, then put in place.
    const std::pair<FaultyFileSystem::Call, int> faults[] = {{FaultyFileSystem::Call::Create, 1},
                                                             {FaultyFileSystem::Call::Append, 1},
                                                             {FaultyFileSystem::Call::Rename, 1},
                                                             {FaultyFileSystem::Call::Rename, 2}};
    for (const auto& [call, n] : faults) {
        SCOPED_TRACE(static_cast<int>(call) * 10 + n);
        RecordingFeedback feedback;
        core::Workspace workspace(feedback, root.path());
        ASSERT_TRUE(workspace.OpenSourceFile(dir / "list.csv", core::SourceOptions{true, 0}, true).previewed);
        {
            FaultyFileSystem faulty;
            faulty.failAt(call, n);
            platform::ScopedFileSystem scoped(faulty);
            EXPECT_TRUE(workspace.OpenSourceFile(dir / "名单.xlsx", core::SourceOptions{true, 0}, true).refused);
        }
        ASSERT_EQ(feedback.messages.size(), 1u);
        EXPECT_NE(feedback.messages[0].find("No space left on device"), std::string::npos) << feedback.messages[0];
        EXPECT_EQ(workspace.sourceFile(), "list.csv");
        EXPECT_EQ(workspace.previewResult().recordCount(), 1u);
        EXPECT_EQ(listNames(workspace.privateFolder()), std::vector<std::string>());
        EXPECT_EQ(listNames(dir.path()), (std::vector<std::string>{"Schema.ini", "list.csv", "名单.xlsx"}));
    }
}

// A cancel request met while the sheet is converted: "操作已取消。", and the
// binding before it stands, its copy as it was.
TEST_F(BoundBook, ACancelWhileTheSheetIsConvertedLeavesTheBindingBefore) {
    ASSERT_TRUE(open(false).previewed);
    const std::string copy = readBytes(workspace.privateFolder() + "/名单.csv");
    const auto cancelled = [&] {
        return feedback.messages == std::vector<std::string>{"操作已取消。"};
    };

    // Another sheet: the one bound stays.
    workspace.requestCancel();
    const auto sheet = workspace.RebindSource(core::SourceOptions{false, 0, source::EncodingChoice::Auto, "退订"}, true);
    EXPECT_TRUE(sheet.refused);
    EXPECT_TRUE(cancelled());
    EXPECT_EQ(workspace.workbook().sheet, 1u);
    EXPECT_EQ(readBytes(workspace.privateFolder() + "/名单.csv"), copy);

    // Another workbook of the same name: the one bound stays.
    feedback.messages.clear();
    const std::string other = book.makeDir("其他") + "/名单.xlsx";
    writeListBook(other, {textColumn("S", {"a@qq.com"})});
    workspace.requestCancel();
    EXPECT_TRUE(workspace.OpenSourceFile(other, core::SourceOptions{false, 0}, true).refused);
    EXPECT_TRUE(cancelled());
    EXPECT_EQ(workspace.sourceDir(), book.path());
    EXPECT_EQ(readBytes(workspace.privateFolder() + "/名单.csv"), copy);
    EXPECT_EQ(listNames(workspace.privateFolder()), (std::vector<std::string>{"Schema.ini", "名单.csv"}));
    EXPECT_EQ(feedback.busyDepth, 0);

    // The request was consumed: the next call runs.
    feedback.messages.clear();
    EXPECT_TRUE(workspace.PreviewDataBy(preview::DataPreviewInput{}));
    EXPECT_EQ(workspace.previewResult().recordCount(), 11u);
}
