#include "export/split_export.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "export/line_reader.h"
#include "export_fixture.h"
#include "faulty_file_system.h"

using namespace exporting;
using testing_files::exists;
using testing_files::readFile;
using testing_files::writeFile;

namespace {

// "line0007": line number i zero-padded to width characters.
std::string numberedLine(int i, int width) {
    const std::string number = std::to_string(i);
    return "line" + std::string(std::max<int>(0, width - 4 - int(number.size())), '0') + number;
}

// n lines "line0001".."lineNNNN" joined as the CSV writer joins them.
std::string numberedLines(int count, int width = 8) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += (i > 1 ? "\r\n" : "") + numberedLine(i, width);
    return text;
}

// Lines from..to as a part holds them, each ended.
std::string partText(int from, int to, int width = 8) {
    std::string text;
    for (int i = from; i <= to; ++i) text += numberedLine(i, width) + "\r\n";
    return text;
}

}  // namespace

class Split : public ExportFixture {
protected:
    void SetUp() override { makeContext("list.csv"); }
    void input(const std::string& bytes) { writeFile(out("-Export.csv"), bytes); }
    std::string part(int n) { return readFile(out("-Export-" + std::to_string(n) + ".csv")); }
    bool hasPart(int n) { return exists(out("-Export-" + std::to_string(n) + ".csv")); }
};

TEST_F(Split, FiveLinesTwoPerPart) {
    input("a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_TRUE(SplitExportByRows(*ctx, 2));
    EXPECT_EQ(part(1), "a\r\nb\r\n");
    EXPECT_EQ(part(2), "c\r\nd\r\n");
    EXPECT_EQ(part(3), "e\r\n");
    EXPECT_FALSE(hasPart(4));
    EXPECT_EQ(feedback.busyDepth, 0);
    EXPECT_EQ(readFile(out("-Export.csv")), "a\r\nb\r\nc\r\nd\r\ne");  // the input stays
}

TEST_F(Split, MultipleOfPartSizeMakesNoEmptyPart) {
    input("a\r\nb\r\nc\r\nd");
    EXPECT_TRUE(SplitExportByRows(*ctx, 2));
    EXPECT_EQ(part(1), "a\r\nb\r\n");
    EXPECT_EQ(part(2), "c\r\nd\r\n");
    EXPECT_FALSE(hasPart(3));
}

TEST_F(Split, MoreLinesPerPartThanLines) {
    input("a\r\nb\r\nc");
    EXPECT_TRUE(SplitExportByRows(*ctx, 50000));
    EXPECT_EQ(part(1), "a\r\nb\r\nc\r\n");
    EXPECT_FALSE(hasPart(2));
}

TEST_F(Split, CountBelowOneGivesOneLinePerPart) {
    for (std::int32_t n : {0, -3}) {
        input("a\r\nb");
        EXPECT_TRUE(SplitExportByRows(*ctx, n));
        EXPECT_EQ(part(1), "a\r\n");
        EXPECT_EQ(part(2), "b\r\n");
        EXPECT_FALSE(hasPart(3));
    }
}

TEST_F(Split, FiftyThousandOverOneHundredTwentyThousand) {
    input(numberedLines(120000, 10));
    EXPECT_TRUE(SplitExportByRows(*ctx, 50000));
    EXPECT_EQ(part(1), partText(1, 50000, 10));
    EXPECT_EQ(part(2), partText(50001, 100000, 10));
    EXPECT_EQ(part(3), partText(100001, 120000, 10));
    EXPECT_FALSE(hasPart(4));
}

TEST_F(Split, LineBytesAreCopiedExactly) {
    // A lone CR, a 0x1A at a line start and inside a line, an empty line, GBK
    // text and a final line end: only LF (with its CR) ends a line.
    const std::string bytes = "a\rb\r\n\x1a" "c\r\n\r\nd\x1a\r\n\xd3\xca@x.com\r\n";
    input(bytes);
    EXPECT_TRUE(SplitExportByRows(*ctx, 100));
    EXPECT_EQ(part(1), bytes);
}

TEST_F(Split, BareLineFeedsAndCarriageReturnAtEnd) {
    input("a\nb\r\nc\r");
    EXPECT_TRUE(SplitExportByRows(*ctx, 1));
    EXPECT_EQ(part(1), "a\r\n");
    EXPECT_EQ(part(2), "b\r\n");
    EXPECT_EQ(part(3), "c\r\r\n");
}

TEST_F(Split, HigherPartsOfAnEarlierRunStay) {
    writeFile(out("-Export-3.csv"), "old");
    input("a\r\nb");
    EXPECT_TRUE(SplitExportByRows(*ctx, 1));
    EXPECT_EQ(part(2), "b\r\n");
    EXPECT_EQ(part(3), "old");
}

TEST_F(Split, OutputDirectoryElsewhere) {
    ctx->outputDir = dir / "out";
    std::filesystem::create_directory(ctx->outputDir);
    input("a\r\nb");
    EXPECT_TRUE(SplitExportByRows(*ctx, 1));
    EXPECT_EQ(readFile(dir / "out/list-Export-2.csv"), "b\r\n");
    EXPECT_FALSE(exists(dir / "list-Export-1.csv"));
}

TEST_F(Split, SizeLimitHoldsWholeLinesUpToTheLimit) {
    // 18 characters a line, 20 bytes with the line end: 51 lines fit 1024 bytes.
    std::string text;
    for (int i = 0; i < 100; ++i) text += (i ? "\r\n" : "") + std::string(18, char('a' + i % 26));
    input(text);
    EXPECT_TRUE(SplitExportBySize(*ctx, SplitSizeLimit(1, 0)));
    EXPECT_EQ(part(1).size(), 51u * 20);
    EXPECT_EQ(part(2).size(), 49u * 20);
    EXPECT_EQ(part(1) + part(2), text + "\r\n");
    EXPECT_FALSE(hasPart(3));
}

TEST_F(Split, SizeLimitExactlyFilled) {
    input("0123456789abcdef01\r\n0123456789abcdef02\r\n0123456789abcdef03");
    EXPECT_TRUE(SplitExportBySize(*ctx, 40));
    EXPECT_EQ(part(1), "0123456789abcdef01\r\n0123456789abcdef02\r\n");
    EXPECT_EQ(part(2), "0123456789abcdef03\r\n");
    EXPECT_FALSE(hasPart(3));
}

TEST_F(Split, OverlongLineGetsAPartOfItsOwn) {
    input("ab\r\n0123456789abc\r\ncd\r\nef");
    EXPECT_TRUE(SplitExportBySize(*ctx, 10));
    EXPECT_EQ(part(1), "ab\r\n");
    EXPECT_EQ(part(2), "0123456789abc\r\n");
    EXPECT_EQ(part(3), "cd\r\nef\r\n");
    EXPECT_FALSE(hasPart(4));
}

TEST_F(Split, NegativeLimitGivesOneLinePerPart) {
    input("a\r\nb");
    EXPECT_TRUE(SplitExportBySize(*ctx, -1024));
    EXPECT_EQ(part(1), "a\r\n");
    EXPECT_EQ(part(2), "b\r\n");
}

TEST_F(Split, MissingInputIsFileNotFound) {
    for (bool bySize : {false, true}) {
        try {
            bySize ? SplitExportBySize(*ctx, 1024) : SplitExportByRows(*ctx, 2);
            FAIL() << "split without input";
        } catch (const SplitError& e) {
            EXPECT_STREQ(e.what(), "File not found");
        }
        EXPECT_FALSE(hasPart(1));
        EXPECT_EQ(feedback.busyDepth, 0);
    }
}

TEST_F(Split, PartThatCannotBeCreated) {
    input("a\r\nb\r\nc");
    std::filesystem::create_directory(out("-Export-2.csv"));
    try {
        SplitExportByRows(*ctx, 1);
        FAIL() << "wrote into a directory";
    } catch (const UncaughtFailure& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(part(1), "a\r\n");  // parts before the failure stay
    EXPECT_FALSE(hasPart(3));
    EXPECT_EQ(feedback.busyDepth, 0);
}

TEST_F(Split, FullDiskIsReportedAndKeepsTheEarlierPart) {
    input("a\r\nb\r\nc");
    writeFile(out("-Export-2.csv"), "earlier\r\n");
    for (bool bySize : {false, true}) {
        testsupport::FaultyFileSystem disk;
        disk.failAt(testsupport::FaultyFileSystem::Call::Append, 2);  // part 2's bytes
        platform::ScopedFileSystem installed(disk);
        try {
            bySize ? SplitExportBySize(*ctx, 3) : SplitExportByRows(*ctx, 1);
            FAIL() << "a full disk went unnoticed";
        } catch (const SplitError& e) {
            EXPECT_STREQ(e.what(), "Disk full");
        }
        EXPECT_EQ(readFile(out("-Export-1.csv")), "a\r\n");
        EXPECT_EQ(readFile(out("-Export-2.csv")), "earlier\r\n");
        EXPECT_FALSE(hasPart(3));
        EXPECT_EQ(testing_files::listDir(dir.path()).size(), 3u);  // -Export.csv, parts 1 and 2
    }
}

// Parts are put in place in batches: more parts than one batch all arrive,
// whole and in order, and nothing temporary is left.
TEST_F(Split, ManyPartsArePutInPlaceInBatches) {
    input(numberedLines(150));
    ASSERT_TRUE(SplitExportByRows(*ctx, 1));
    for (int i = 1; i <= 150; ++i) EXPECT_EQ(part(i), partText(i, i)) << i;
    EXPECT_FALSE(hasPart(151));
    EXPECT_EQ(testing_files::listDir(dir.path()).size(), 151u);  // -Export.csv and the parts
    ASSERT_EQ(ctx->summary.files.size(), 150u);
    EXPECT_EQ(ctx->summary.parts, 150u);
    EXPECT_EQ(ctx->summary.files[149].name, "list-Export-150.csv");
    EXPECT_EQ(ctx->summary.files[149].rows, 1u);
}

TEST(SplitErrorTexts, ByCode) {
    EXPECT_EQ(SplitErrorText(ENOENT), "File not found");
    EXPECT_EQ(SplitErrorText(ENAMETOOLONG), "Invalid filename");
    EXPECT_EQ(SplitErrorText(EMFILE), "Too many open files");
    EXPECT_EQ(SplitErrorText(EACCES), "File access denied");
    EXPECT_EQ(SplitErrorText(ENOSPC), "Disk full");
    EXPECT_EQ(SplitErrorText(EIO), "I/O error " + std::to_string(EIO));
}

TEST(LineReaderBlocks, LinesLongerThanTheBlock) {
    testing_files::TempDir dir;
    const std::string longLine(1000, 'x');
    writeFile(dir / "in.csv", "a\r\n" + longLine + "\r\n\r\nb\rc\r\n" + longLine);
    LineReader reader(dir / "in.csv", 7);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) lines.emplace_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", longLine, "", "b\rc", longLine}));
}

TEST(LineReaderBlocks, CarriageReturnAtABlockBoundary) {
    testing_files::TempDir dir;
    writeFile(dir / "in.csv", "abc\r\ndef\r\ngh");
    for (std::size_t block : {1u, 2u, 3u, 4u, 5u, 64u}) {
        LineReader reader(dir / "in.csv", block);
        std::vector<std::string> lines;
        std::string_view line;
        while (reader.next(line)) lines.emplace_back(line);
        EXPECT_EQ(lines, (std::vector<std::string>{"abc", "def", "gh"})) << "block " << block;
    }
}

// A list whose name is near the file system's limit: its parts, waiting
// together for their turn to be put in place, each get a temporary name of
// their own that fits.
TEST_F(Split, PartsOfAListWithANameNearTheLimit) {
    std::string stem;
    while (stem.size() < 231) stem += "名";
    makeContext(stem + ".csv");
    input("a\r\nb\r\nc");
    EXPECT_TRUE(SplitExportByRows(*ctx, 1));
    EXPECT_EQ(feedback.messages, Values{});
    EXPECT_EQ(part(1), "a\r\n");
    EXPECT_EQ(part(2), "b\r\n");
    EXPECT_EQ(part(3), "c\r\n");
    EXPECT_EQ(testing_files::listDir(dir.path()).size(), 4u);  // -Export.csv and the three parts
}
