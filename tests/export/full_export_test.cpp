#include "export/full_export.h"

#include <gtest/gtest.h>

#include "export/split_export.h"
#include "export/uncaught_failure.h"
#include "export_fixture.h"

using namespace exporting;
using testing_files::csvValues;
using testing_files::exists;
using testing_files::readFile;

namespace {

const std::string kSource =
    "email\r\nc@x.com\r\nbad\r\na@x.com\r\nb@x.com\r\nC@X.COM\r\nd@x.com\r\ne@x.com\r\n";

CleaningOptions splitByRows(const char* rows) {
    CleaningOptions o;
    o.split = true;
    o.splitRows = rows;
    return o;
}

CleaningOptions splitBySize(const char* size, int unit) {
    CleaningOptions o;
    o.split = true;
    o.splitByRows = false;
    o.splitSize = size;
    o.splitSizeUnitIndex = unit;
    return o;
}

}  // namespace

class FullExport : public ExportFixture {
protected:
    void SetUp() override { bind("list.csv", kSource); }
    std::string done() const { return std::string("Email地址按条件全部导出 执行完毕!"); }
};

TEST_F(FullExport, WithoutSplitShowsTheCompletionMessage) {
    EXPECT_TRUE(RunFullExport(*ctx, CleaningOptions{}, "email"));
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(csvValues(out("-Export.csv")), (Values{"a@x.com", "b@x.com", "c@x.com", "d@x.com", "e@x.com"}));
    EXPECT_FALSE(exists(out("-Export-1.csv")));
}

TEST_F(FullExport, SplitByRows) {
    EXPECT_TRUE(RunFullExport(*ctx, splitByRows("2"), "email"));
    EXPECT_EQ(feedback.messages, Values{done()});
    const std::string all = readFile(out("-Export.csv")) + "\r\n";
    EXPECT_EQ(readFile(out("-Export-1.csv")) + readFile(out("-Export-2.csv")) + readFile(out("-Export-3.csv")), all);
    EXPECT_EQ(readFile(out("-Export-3.csv")).size(), 11u);  // one line: "x@x.com" quoted, CR LF
    EXPECT_FALSE(exists(out("-Export-4.csv")));
}

TEST_F(FullExport, SplitBySizeHexadecimalKilobytes) {
    EXPECT_TRUE(RunFullExport(*ctx, splitBySize("$1", 0), "email"));
    EXPECT_EQ(feedback.messages, Values{done()});
    EXPECT_EQ(readFile(out("-Export-1.csv")), readFile(out("-Export.csv")) + "\r\n");
    EXPECT_FALSE(exists(out("-Export-2.csv")));
}

TEST_F(FullExport, NonNumberSplitTextIsAnUncaughtFailure) {
    for (const char* text : {"abc", "99999999999", "12 "}) {
        feedback.messages.clear();
        try {
            RunFullExport(*ctx, splitByRows(text), "email");
            FAIL() << text;
        } catch (const UncaughtFailure& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid integer value");
        }
        EXPECT_TRUE(feedback.messages.empty());  // no completion message
        EXPECT_TRUE(exists(out("-Export.csv")));  // the pipeline's files are written
        EXPECT_FALSE(exists(out("-Export-1.csv")));
    }
}

TEST_F(FullExport, SizeTextIsConvertedToo) {
    EXPECT_THROW(RunFullExport(*ctx, splitBySize("4MB", 1), "email"), UncaughtFailure);
}

TEST_F(FullExport, InputCheckStopsBeforeTheConversion) {
    EXPECT_FALSE(RunFullExport(*ctx, splitByRows("0"), "email"));
    EXPECT_EQ(feedback.messages, Values{std::string("数据行数不能为空值或0!")});
    EXPECT_FALSE(exists(out("-Invalid.csv")));
}

TEST_F(FullExport, MissingExportFileFailsTheSplit) {
    bind("bad.csv", "email\r\nbad\r\n");
    try {
        RunFullExport(*ctx, splitByRows("2"), "email");
        FAIL() << "split a missing file";
    } catch (const SplitError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_FALSE(exists(dir / "bad-Export-1.csv"));
}

TEST_F(FullExport, CleaningFailureShowsNoCompletionMessage) {
    EXPECT_FALSE(RunFullExport(*ctx, CleaningOptions{}, "nosuchcolumn"));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_NE(feedback.messages[0], done());
}
