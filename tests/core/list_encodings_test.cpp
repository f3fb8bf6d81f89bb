// Lists in every encoding a user has, end to end through the operations core:
// each result file is in the list's encoding (UTF-16 lists give UTF-8), with
// a byte-order mark when the list had one, and holds the same text as the
// files of the same list in GBK; a suppression list in another encoding still
// excludes; names GBK cannot hold are names like any.
#include <gtest/gtest.h>

#include <map>

#include "core/workspace.h"
#include "platform/code_page.h"
#include "recording_feedback.h"
#include "temp_dir.h"

using source::EncodingChoice;
using source::TextEncoding;
using testsupport::listNames;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Tab separated with a header line: valid addresses of two domains (one in
// two letter cases), an invalid and an erroneous one, Chinese everywhere.
const std::string kList =
    "email\tname\r\n"
    "张三@qq.com\t张三\r\n"
    "Li@163.com\t李四\r\n"
    "li@163.com\t李四\r\n"
    "wang@qq.com\t王五\r\n"
    "无效地址\t赵六\r\n"
    "c@@163.com\t钱七\r\n";

std::string utf16(const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const char* p = utf8.data();
    const char* const end = p + utf8.size();
    while (p < end) {
        const std::size_t n = platform::utf8CharLength(p, end);
        char32_t c = static_cast<unsigned char>(p[0]);
        if (n > 1) {
            c &= 0xFF >> (n + 1);
            for (std::size_t i = 1; i < n; ++i) c = (c << 6) | (static_cast<unsigned char>(p[i]) & 0x3F);
        }
        std::u16string units;
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
        for (char16_t u : units) {
            const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
            out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        p += n;
    }
    return out;
}

struct ListCase {
    const char* name;
    TextEncoding encoding;
    std::string bytes;
    bool resultsUtf8, resultsMarked;
};

std::vector<ListCase> listCases() {
    return {
        {"GBK", TextEncoding::Gbk, platform::gbk(kList), false, false},
        {"UTF-8", TextEncoding::Utf8, kList, true, false},
        {"UTF-8 with its mark", TextEncoding::Utf8Bom, kBom + kList, true, true},
        {"UTF-16 LE", TextEncoding::Utf16Le, utf16(kList, false), true, true},
        {"UTF-16 BE", TextEncoding::Utf16Be, utf16(kList, true), true, true},
    };
}

// Opens dir/file with a header line and tabs, as the window would.
core::BindOutcome openTabList(core::Workspace& workspace, const std::string& path,
                              EncodingChoice choice = EncodingChoice::Auto) {
    return workspace.OpenSourceFile(path, core::SourceOptions{true, 2, choice}, true);
}

// Every file of a folder but the list itself and the description file, as
// text: UTF-8 from the results' encoding, the mark taken off and noted.
std::map<std::string, std::string> resultTexts(const std::string& dir, const ListCase& c) {
    std::map<std::string, std::string> texts;
    for (const auto& name : listNames(dir)) {
        if (name == "list.txt" || name == "Schema.ini" || name == "settings.ini") continue;
        std::string bytes = readBytes(dir + "/" + name);
        const bool marked = bytes.compare(0, kBom.size(), kBom) == 0;
        EXPECT_EQ(marked, c.resultsMarked) << c.name << ": " << name;
        if (marked) bytes.erase(0, kBom.size());
        texts[name] = c.resultsUtf8 ? bytes : platform::gbkToUtf8(bytes);
        if (c.resultsUtf8) EXPECT_TRUE(platform::isValidUtf8(bytes)) << c.name << ": " << name;
    }
    return texts;
}

TEST(ListEncodings, EveryResultFileInTheListsEncodingWithTheSameText) {
    std::map<std::string, std::string> gbkTexts;
    for (const ListCase& c : listCases()) {
        TempDir dir;
        const std::string path = dir.write("list.txt", c.bytes);
        writeBytes(dir / "settings.ini", "[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=10\r\n");
        RecordingFeedback feedback;
        core::Workspace workspace(feedback);
        const core::BindOutcome bound = openTabList(workspace, path);
        ASSERT_TRUE(bound.previewed) << c.name;
        EXPECT_EQ(bound.encoding, c.encoding) << c.name;
        EXPECT_EQ(bound.columns, (std::vector<std::string>{"email", "name"})) << c.name;
        EXPECT_EQ(bound.recordCount, 6) << c.name;

        // A prefix of two Chinese characters is two long in every encoding.
        preview::DataPreviewInput shortPrefix;
        shortPrefix.option = preview::DataOption::PrefixLength;
        shortPrefix.column = "email";
        shortPrefix.comparison = "<";
        shortPrefix.length = "3";
        ASSERT_TRUE(workspace.PreviewDataBy(shortPrefix)) << c.name;
        // 张三@, Li@, li@, c@@ and 无效地址 (no "@"), not wang@
        EXPECT_EQ(workspace.previewResult().recordCount(), 5u) << c.name;

        exporting::CleaningOptions split;
        split.split = true;
        split.splitRows = "2";
        ASSERT_TRUE(workspace.ExportAll(split, "email", dir.path())) << c.name;
        ASSERT_TRUE(workspace.ExportByDomain({}, "email", dir.path(), dir / "settings.ini")) << c.name;

        const auto texts = resultTexts(dir.path(), c);
        EXPECT_EQ(texts.at("list-Export.csv"), "\"张三@qq.com\"\r\n\"li@163.com\"\r\n\"wang@qq.com\"") << c.name;
        EXPECT_EQ(texts.at("list-Invalid.csv"), "\"无效地址\"") << c.name;
        EXPECT_EQ(texts.at("list-Export-1.csv"), "\"张三@qq.com\"\r\n\"li@163.com\"\r\n") << c.name;
        EXPECT_EQ(texts.at("list-Export-qq.com.csv"), "\"张三@qq.com\"\r\n\"wang@qq.com\"") << c.name;
        if (c.encoding == TextEncoding::Gbk)
            gbkTexts = texts;
        else
            EXPECT_EQ(texts, gbkTexts) << c.name;
    }
}

// A suppression list has its encoding detected on its own: a join compares
// text, and the results stay in the list's encoding.
TEST(ListEncodings, SuppressionListInAnotherEncoding) {
    const std::string suppression = "张三@qq.com\r\nli@163.com\r\n";
    const struct {
        const char* name;
        std::string list, exclusion;
        bool resultsUtf8;
    } cases[] = {
        {"GBK list, UTF-8 suppression", platform::gbk(kList), suppression, false},
        {"UTF-8 list, GBK suppression", kList, platform::gbk(suppression), true},
        {"UTF-16 list, GBK suppression", utf16(kList, false), platform::gbk(suppression), true},
        {"GBK list, UTF-8 marked suppression", platform::gbk(kList), kBom + suppression, false},
        {"GBK list, UTF-16 suppression", platform::gbk(kList), utf16(suppression, false), false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("list.txt", c.list);
        dir.write("排除😀.csv", c.exclusion);
        RecordingFeedback feedback;
        core::Workspace workspace(feedback);
        ASSERT_TRUE(openTabList(workspace, dir / "list.txt").previewed) << c.name;
        exporting::CleaningOptions options;
        options.excludeFile = true;
        options.excludeFileName = "排除😀.csv";
        const std::string out = dir.makeDir("输出😀");
        ASSERT_TRUE(workspace.ExportAll(options, "email", out)) << c.name << ": " << feedback.messages.front();
        const auto decode = [&](const std::string& bytes) {
            return c.resultsUtf8 ? bytes.substr(bytes.compare(0, 3, kBom) == 0 ? 3 : 0) : platform::gbkToUtf8(bytes);
        };
        EXPECT_EQ(decode(readBytes(out + "/list-Exclude.csv")), "\"张三@qq.com\"\r\n\"li@163.com\"") << c.name;
        EXPECT_EQ(decode(readBytes(out + "/list-Export.csv")), "\"wang@qq.com\"") << c.name;
    }
}

// The user's choice wins over detection: a UTF-8 list read as GBK is another
// text (its results too), and a GBK list forced to GBK is as detected.
TEST(ListEncodings, TheUsersChoiceIsInForce) {
    TempDir dir;
    const std::string path = dir.write("list.txt", kList);
    RecordingFeedback feedback;
    core::Workspace workspace(feedback);
    const core::BindOutcome asGbk = openTabList(workspace, path, EncodingChoice::Gbk);
    ASSERT_TRUE(asGbk.previewed);
    EXPECT_EQ(asGbk.encoding, TextEncoding::Gbk);
    EXPECT_FALSE(asGbk.encodingDetected);
    EXPECT_EQ(workspace.previewResult().columnEncoding(1), engine::CodePage::Gbk);
    EXPECT_EQ(readBytes(dir / "Schema.ini").find("CharacterSet"), std::string::npos);
    const core::BindOutcome auto8 = workspace.RebindSource(core::SourceOptions{true, 2, EncodingChoice::Auto});
    EXPECT_EQ(auto8.encoding, TextEncoding::Utf8);
    EXPECT_EQ(workspace.previewResult().columnEncoding(1), engine::CodePage::Utf8);
    EXPECT_NE(readBytes(dir / "Schema.ini").find("CharacterSet=65001"), std::string::npos);
}

}  // namespace
