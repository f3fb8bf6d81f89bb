#include "export/cleaning_pipeline.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "export_fixture.h"
#include "faulty_file_system.h"

using namespace exporting;
using testing_files::csvValues;
using testing_files::exists;
using testing_files::listDir;
using testing_files::readFile;
using testing_files::writeFile;

namespace {

const std::string kGbkAddress = "\xd3\xca\xbc\xfe@x.com";  // "邮件@x.com"

// Every class is represented; A@x.com and a@x.com fold to one value.
const std::string kSource = "email\r\nA@x.com\r\na@x.com\r\nbad\r\nb@@x.com\r\nc@x.co1\r\n\"d @x.com\"\r\n"
                            "p@y.org\r\nLongprefix123@z.net\r\nq@z.net\r\n" + kGbkAddress + "\r\n";

const Values kInvalid{"bad"};
const Values kErroneous{"b@@x.com", "c@x.co1", "d @x.com"};
const Values kValid{"a@x.com", "longprefix123@z.net", "p@y.org", "q@z.net", kGbkAddress};

Values without(Values all, const Values& removed) {
    for (const auto& value : removed) all.erase(std::find(all.begin(), all.end(), value));
    return all;
}

}  // namespace

class Pipeline : public ExportFixture {
protected:
    void SetUp() override { bind("list.csv", kSource); }
};

TEST_F(Pipeline, SortsEveryClassWithoutExclusions) {
    EXPECT_TRUE(CleanAddresses(*ctx, CleaningOptions{}, "email"));
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_EQ(readFile(out("-Invalid.csv")), "\"bad\"");
    EXPECT_EQ(csvValues(out("-Error.csv")), kErroneous);
    EXPECT_EQ(csvValues(out("-Export.csv")), kValid);
    EXPECT_EQ(listDir(dir.path()),
              (Values{"Schema.ini", "list-Error.csv", "list-Export.csv", "list-Invalid.csv", "list.csv"}));
    EXPECT_FALSE(result.isOpen());
    EXPECT_EQ(ctx->source.adodst_csvConnection, &preview);
    EXPECT_EQ(feedback.busyDepth, 0);
    EXPECT_EQ(feedback.busyCount, 3);
}

TEST_F(Pipeline, RenameReplacesAnEarlierExport) {
    writeFile(out("-Export.csv"), "\"stale@old.com\"\r\n\"more@old.com\"\r\n\"x\"");
    EXPECT_TRUE(CleanAddresses(*ctx, CleaningOptions{}, "email"));
    EXPECT_EQ(csvValues(out("-Export.csv")), kValid);
}

struct ExclusionCase {
    const char* name;
    CleaningOptions options;
    Values excluded;
};

void PrintTo(const ExclusionCase& c, std::ostream* os) { *os << c.name; }

class Exclusions : public Pipeline, public testing::WithParamInterface<ExclusionCase> {};

TEST_P(Exclusions, SplitTheValidAddresses) {
    writeFile(dir / "ex.txt", "a@x.com\r\nq@z.net\r\na@x.com\r\nnobody@n.com");
    const ExclusionCase& c = GetParam();
    EXPECT_TRUE(CleanAddresses(*ctx, c.options, "email"));
    EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
    EXPECT_EQ(csvValues(out("-Invalid.csv")), kInvalid);
    EXPECT_EQ(csvValues(out("-Error.csv")), kErroneous);
    EXPECT_EQ(csvValues(out("-Exclude.csv")), c.excluded);
    Values kept = kValid;
    for (const auto& value : c.excluded) {
        auto it = std::find(kept.begin(), kept.end(), value);
        if (it != kept.end()) kept.erase(it);
    }
    EXPECT_EQ(csvValues(out("-Export.csv")), kept);
    EXPECT_FALSE(exists(out("-Temp.csv")));
    EXPECT_EQ(ctx->source.adodst_csvConnection, &csvConnection);
    EXPECT_EQ(feedback.busyDepth, 0);
}

CleaningOptions withPrefixLength(const char* op, const char* number) {
    CleaningOptions o;
    o.prefixLength = true;
    o.prefixLengthOperator = op;
    o.prefixLengthNumber = number;
    return o;
}
CleaningOptions withPrefixes(const char* list) {
    CleaningOptions o;
    o.prefixList = true;
    o.prefixListText = list;
    return o;
}
CleaningOptions withSuffixes(const char* list) {
    CleaningOptions o;
    o.suffixList = true;
    o.suffixListText = list;
    return o;
}
CleaningOptions combined() {
    CleaningOptions o = withPrefixLength(">", "9");
    o.prefixList = true;
    o.prefixListText = "p";
    o.suffixList = true;
    o.suffixListText = "x.com";
    return o;
}
CleaningOptions withExclusionFile(bool alsoConditions) {
    CleaningOptions o = alsoConditions ? combined() : CleaningOptions{};
    o.excludeFile = true;
    o.excludeFileName = "ex.txt";
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Options, Exclusions,
    testing::Values(
        ExclusionCase{"PrefixLongerThan9", withPrefixLength(">", "9"), {"longprefix123@z.net"}},
        // The GBK prefix counts two characters, so it is not shorter than 2.
        ExclusionCase{"PrefixShorterThan2", withPrefixLength("<", "2"), {"a@x.com", "p@y.org", "q@z.net"}},
        ExclusionCase{"PrefixList", withPrefixes("p, q"), {"p@y.org", "q@z.net"}},
        // Typed in UTF-8, matched against the GBK list.
        ExclusionCase{"PrefixListChinese", withPrefixes("邮件"), {kGbkAddress}},
        ExclusionCase{"SuffixList", withSuffixes("z.net"), {"longprefix123@z.net", "q@z.net"}},
        ExclusionCase{"Combined", combined(), {"a@x.com", "longprefix123@z.net", "p@y.org", kGbkAddress}},
        // Duplicates of the exclusion file repeat in -Exclude.csv (inner join).
        ExclusionCase{"ExclusionFile", withExclusionFile(false), {"a@x.com", "a@x.com", "q@z.net"}},
        // The exclusion file overrides the condition options.
        ExclusionCase{"ExclusionFileOverridesConditions", withExclusionFile(true),
                      {"a@x.com", "a@x.com", "q@z.net"}}),
    [](const testing::TestParamInfo<ExclusionCase>& info) { return std::string(info.param.name); });

TEST_F(Pipeline, EverythingExcludedRemovesAnEarlierExport) {
    writeFile(out("-Export.csv"), "\"stale@old.com\"");
    EXPECT_TRUE(CleanAddresses(*ctx, withSuffixes("x.com,y.org,z.net"), "email"));
    EXPECT_EQ(csvValues(out("-Exclude.csv")), kValid);
    EXPECT_FALSE(exists(out("-Export.csv")));
}

// The addresses exported last time, chosen as this run's exclusion file: the
// keep statement reads them before this run's -Export.csv replaces them.
TEST_F(Pipeline, EarlierExportAsTheExclusionFile) {
    writeFile(out("-Export.csv"), "\"a@x.com\"\r\n\"q@z.net\"\r\n\"gone@old.com\"");
    CleaningOptions options = withExclusionFile(false);
    options.excludeFileName = baseName() + "-Export.csv";
    EXPECT_TRUE(CleanAddresses(*ctx, options, "email"));
    EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
    EXPECT_EQ(csvValues(out("-Exclude.csv")), (Values{"a@x.com", "q@z.net"}));
    EXPECT_EQ(csvValues(out("-Export.csv")), without(kValid, {"a@x.com", "q@z.net"}));
    EXPECT_FALSE(exists(out("-Temp.csv")));
}

TEST_F(Pipeline, OutputDirectoryElsewhere) {
    ctx->outputDir = dir / "out";
    std::filesystem::create_directory(ctx->outputDir);
    writeFile(dir / "ex.txt", "p@y.org");
    EXPECT_TRUE(CleanAddresses(*ctx, withExclusionFile(false), "email"));
    EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
    EXPECT_EQ(listDir(ctx->outputDir),
              (Values{"list-Error.csv", "list-Exclude.csv", "list-Export.csv", "list-Invalid.csv"}));
    EXPECT_EQ(listDir(dir.path()), (Values{"Schema.ini", "ex.txt", "list.csv", "out"}));
    EXPECT_EQ(csvValues(out("-Exclude.csv")), Values{"p@y.org"});
    EXPECT_EQ(csvValues(out("-Export.csv")), without(kValid, {"p@y.org"}));
}

TEST_F(Pipeline, OutputDirectoryElsewhereWithTrailingSlashAndConditions) {
    ctx->outputDir = dir / "out/";
    std::filesystem::create_directory(dir / "out");
    EXPECT_TRUE(CleanAddresses(*ctx, withPrefixes("q"), "email"));
    EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
    EXPECT_EQ(csvValues(dir / "out/list-Export.csv"), without(kValid, {"q@z.net"}));
    EXPECT_FALSE(exists(dir / "list-Export.csv"));
}

TEST_F(Pipeline, OutputDirectoryHoldingClosingBrackets) {
    // "]" in the folder name, also right after a Chinese character.
    const std::string folder = dir / "o]ut中]";
    ctx->outputDir = folder;
    std::filesystem::create_directory(folder);
    EXPECT_TRUE(CleanAddresses(*ctx, withPrefixes("q"), "email"));
    EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
    EXPECT_EQ(csvValues(folder + "/list-Export.csv"), without(kValid, {"q@z.net"}));
    EXPECT_EQ(csvValues(folder + "/list-Exclude.csv"), Values{"q@z.net"});
}

// "]" in the source file's and the exclusion file's names (also right after
// a character of more than one byte): every table name goes to the engine
// with "]" doubled inside its brackets.
TEST_F(Pipeline, FileNamesHoldingClosingBrackets) {
    const std::string exclusion = "e]x中].txt";
    writeFile(dir / exclusion, "a@x.com\r\nq@z.net\r\n");
    bind("l]st名单].csv", kSource);
    CleaningOptions options = withExclusionFile(false);
    options.excludeFileName = exclusion;
    EXPECT_TRUE(CleanAddresses(*ctx, options, "email"));
    EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
    EXPECT_EQ(csvValues(out("-Invalid.csv")), kInvalid);
    EXPECT_EQ(csvValues(out("-Exclude.csv")), (Values{"a@x.com", "q@z.net"}));
    EXPECT_EQ(csvValues(out("-Export.csv")), without(kValid, {"a@x.com", "q@z.net"}));
    // Without the exclusion pass, and with conditions over the intermediate file.
    EXPECT_TRUE(CleanAddresses(*ctx, withPrefixes("q"), "email"));
    EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
    EXPECT_EQ(csvValues(out("-Exclude.csv")), Values{"q@z.net"});
}

TEST_F(Pipeline, SourceWithoutHeaderAndSemicolons) {
    bind("plain.txt", "x@y.com;1\r\nnope;2\r\n", false, "Delimited(;)");
    EXPECT_TRUE(CleanAddresses(*ctx, CleaningOptions{}, "F1"));
    EXPECT_EQ(readFile(dir / "plain-Export.csv"), "\"x@y.com\"");
    EXPECT_EQ(readFile(dir / "plain-Invalid.csv"), "\"nope\"");
    EXPECT_FALSE(exists(dir / "plain-Error.csv"));
}

TEST_F(Pipeline, ChineseAndEmojiSourceFileNames) {
    for (const std::string stem : {"名单", "名单😀"}) {
        bind(stem + ".csv", kSource);
        EXPECT_TRUE(CleanAddresses(*ctx, withPrefixes("p"), "email"));
        EXPECT_TRUE(feedback.messages.empty()) << feedback.messages.front();
        EXPECT_EQ(csvValues(dir / (stem + "-Exclude.csv")), Values{"p@y.org"});
    }
}

// ---- input checks -------------------------------------------------------

struct CheckCase {
    CleaningOptions options;
    const char* message;  // UTF-8
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.message; }

class InputChecks : public Pipeline, public testing::WithParamInterface<CheckCase> {};

TEST_P(InputChecks, RefuseBeforeWritingAnything) {
    EXPECT_FALSE(CleanAddresses(*ctx, GetParam().options, "email"));
    EXPECT_EQ(feedback.messages, Values{std::string(GetParam().message)});
    EXPECT_EQ(listDir(dir.path()), (Values{"Schema.ini", "list.csv"}));
    EXPECT_EQ(feedback.busyDepth, 0);
}

CleaningOptions allEmpty(int firstFilled) {
    // The checks in their order; those before firstFilled are satisfied.
    CleaningOptions o;
    o.excludeFile = o.prefixLength = o.prefixList = o.suffixList = o.split = true;
    o.excludeFileName = firstFilled > 0 ? "ex.txt" : "";
    o.prefixLengthNumber = firstFilled > 1 ? "3" : "";
    o.prefixListText = firstFilled > 2 ? "p" : "";
    o.suffixListText = firstFilled > 3 ? "q" : "";
    o.splitRows = firstFilled > 4 ? "10" : "000";
    return o;
}
CleaningOptions sizeSplit(const char* size) {
    CleaningOptions o;
    o.split = true;
    o.splitByRows = false;
    o.splitRows = "0";  // not the field in use
    o.splitSize = size;
    return o;
}
CleaningOptions rowSplit(const char* rows) {
    CleaningOptions o;
    o.split = true;
    o.splitRows = rows;
    o.splitSize = "";  // not the field in use
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, InputChecks,
    testing::Values(CheckCase{allEmpty(0), "Email地址排除文件不能为空,请选择排除文件!"},
                    CheckCase{allEmpty(1), "前缀长度不能为空!"},
                    CheckCase{allEmpty(2), "前缀内容不能为空!"},
                    CheckCase{allEmpty(3), "后缀内容不能为空!"},
                    CheckCase{allEmpty(4), "数据行数不能为空值或0!"},
                    CheckCase{rowSplit(""), "数据行数不能为空值或0!"},
                    CheckCase{rowSplit("0"), "数据行数不能为空值或0!"},
                    CheckCase{sizeSplit(""), "文件大小不能为空值或0!"},
                    CheckCase{sizeSplit("00"), "文件大小不能为空值或0!"}));

TEST(InputCheckPasses, NonZeroSplitTexts) {
    for (const char* text : {"10", "050", "abc", " 0"}) {
        EXPECT_FALSE(CheckCleaningOptions(rowSplit(text)).has_value()) << text;
        EXPECT_FALSE(CheckCleaningOptions(sizeSplit(text)).has_value()) << text;
    }
    // Unticked options are not checked.
    CleaningOptions o;
    o.excludeFileName = o.prefixLengthNumber = o.prefixListText = o.suffixListText = o.splitRows = "";
    EXPECT_FALSE(CheckCleaningOptions(o).has_value());
}

// ---- failures -------------------------------------------------------------

TEST_F(Pipeline, NoValidAddressWithoutExclusionDeletesAnEarlierExport) {
    bind("bad.csv", "email\r\nbad\r\nworse\r\n");
    writeFile(dir / "bad-Export.csv", "\"stale@old.com\"");
    EXPECT_TRUE(CleanAddresses(*ctx, CleaningOptions{}, "email"));
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_FALSE(exists(dir / "bad-Export.csv"));
    EXPECT_FALSE(exists(dir / "bad-Temp.csv"));
}

TEST_F(Pipeline, StaleIntermediateFileIsNotTakenForThisRun) {
    bind("bad.csv", "email\r\nbad\r\n");
    for (bool exclusion : {false, true}) {
        feedback.messages.clear();
        writeFile(dir / "bad-Temp.csv", "\"stale@old.com\"");
        EXPECT_EQ(CleanAddresses(*ctx, exclusion ? withPrefixes("p") : CleaningOptions{}, "email"), !exclusion);
        EXPECT_EQ(feedback.messages.size(), exclusion ? 1u : 0u);  // the engine's missing-table message
        EXPECT_FALSE(exists(dir / "bad-Export.csv"));
        EXPECT_FALSE(exists(dir / "bad-Temp.csv"));
    }
}

TEST_F(Pipeline, NoValidAddressWithExclusionFails) {
    bind("bad.csv", "email\r\nbad\r\n");
    EXPECT_FALSE(CleanAddresses(*ctx, withPrefixes("p"), "email"));
    ASSERT_EQ(feedback.messages.size(), 1u);  // the engine's message about the missing table
    EXPECT_TRUE(exists(dir / "bad-Invalid.csv"));
    EXPECT_FALSE(result.isOpen());
}

TEST_F(Pipeline, UnknownColumnReportsTheEnginesMessage) {
    EXPECT_FALSE(CleanAddresses(*ctx, CleaningOptions{}, "nosuchcolumn"));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_FALSE(feedback.messages[0].empty());
    EXPECT_EQ(listDir(dir.path()), (Values{"Schema.ini", "list.csv"}));
    EXPECT_FALSE(result.isOpen());
    EXPECT_EQ(feedback.busyDepth, 0);
}

TEST_F(Pipeline, UnwritableOutputDirectory) {
    writeFile(dir / "afile", "x");
    ctx->outputDir = dir / "afile/sub";
    EXPECT_FALSE(CleanAddresses(*ctx, CleaningOptions{}, "email"));
    EXPECT_EQ(feedback.messages,
              Values{"Cannot create file \"" + dir.path() + "/afile/sub/list-Invalid.csv\". Not a directory"});
    EXPECT_FALSE(result.isOpen());
}

TEST_F(Pipeline, FullDiskIsAFailureAndKeepsTheEarlierFile) {
    writeFile(out("-Error.csv"), "\"an earlier run's\"");
    testsupport::FaultyFileSystem disk;
    disk.failAt(testsupport::FaultyFileSystem::Call::Append, 2);  // the error file's bytes
    platform::ScopedFileSystem installed(disk);
    EXPECT_FALSE(CleanAddresses(*ctx, CleaningOptions{}, "email"));
    EXPECT_EQ(feedback.messages,
              Values{"Cannot write file \"" + dir.path() + "/list-Error.csv\". No space left on device"});
    EXPECT_TRUE(exists(out("-Invalid.csv")));
    EXPECT_EQ(readFile(out("-Error.csv")), "\"an earlier run's\"");  // whole until a replacement is
    EXPECT_FALSE(exists(out("-Temp.csv")));  // the later steps did not run
    EXPECT_FALSE(exists(out("-Export.csv")));
    EXPECT_EQ(listDir(dir.path()), (Values{"Schema.ini", "list-Error.csv", "list-Invalid.csv", "list.csv"}));
}

TEST_F(Pipeline, FailedRenameIsAFailure) {
    std::filesystem::create_directories(out("-Export.csv") + "/inside");
    EXPECT_FALSE(CleanAddresses(*ctx, CleaningOptions{}, "email"));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_EQ(feedback.messages[0].rfind("Cannot rename file \"" + out("-Temp.csv") + "\" to \"" +
                                              out("-Export.csv") + "\". ",
                                          0),
              0u)
        << feedback.messages[0];
    EXPECT_TRUE(exists(out("-Temp.csv")));
}

TEST_F(Pipeline, ExportThatCannotBeRemovedIsAFailure) {
    std::filesystem::create_directories(out("-Export.csv") + "/inside");
    EXPECT_FALSE(CleanAddresses(*ctx, withSuffixes("x.com,y.org,z.net"), "email"));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_EQ(feedback.messages[0].rfind("Cannot delete file \"" + out("-Export.csv") + "\". ", 0), 0u)
        << feedback.messages[0];
}

TEST_F(Pipeline, MissingExclusionFileFailsInTheSecondPass) {
    EXPECT_FALSE(CleanAddresses(*ctx, withExclusionFile(false), "email"));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_TRUE(exists(out("-Temp.csv")));  // the intermediate file stays
    EXPECT_FALSE(exists(out("-Exclude.csv")));
    EXPECT_FALSE(result.isOpen());
}
