// Bad workbooks get a clear refusal and leave nothing half-done: encrypted,
// damaged or truncated files, no sheet with data, an unknown sheet, parts
// that would inflate without reasonable bound, and XML that declares a
// document type (external entities, entity expansion).
#include <gtest/gtest.h>

#include <fstream>

#include "workbook_test_support.h"
#include "xlsx_package.h"

using namespace testsupport;
using workbook::Refusal;

namespace {

const std::string kOneRow = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>a@b.cn</t></is></c></row>)";

// Expects the refusal kind, a text naming the file, and no copy left behind.
void expectRefused(const TempDir& dir, const std::string& file, Refusal kind, const std::string& textPart,
                   std::optional<std::string> sheet = std::nullopt, const workbook::WorkbookOptions& options = {}) {
    const auto refused = refusalOf(dir / file, dir / "copy.csv", sheet, options);
    ASSERT_TRUE(refused.has_value()) << file;
    EXPECT_EQ(refused->refusal(), kind) << file << ": " << refused->what();
    const std::string text = refused->what();
    EXPECT_NE(text.find("\"" + file + "\""), std::string::npos) << text;
    EXPECT_NE(text.find(textPart), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.csv.part"));
}

// A part that declares a document type before its root element.
std::string withDoctype(const std::string& doctype, const std::string& root, const std::string& content) {
    return "<?xml version=\"1.0\"?>" + doctype + "<" + root +
           " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + content + "</" + root + ">";
}

// A one-sheet workbook whose cell A1 holds an inline string of this XML text.
void writeSheetWithDoctype(const std::string& path, const std::string& doctype, const std::string& cellText) {
    XlsxParts parts;
    parts.sheets.push_back(
        {"S", withDoctype(doctype, "worksheet",
                          "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + cellText +
                              "</t></is></c></row></sheetData>")});
    writeXlsx(path, parts);
}

std::string validWorkbookBytes(const TempDir& dir) {
    writeXlsx(dir / "valid.xlsx", kOneRow);
    return readBytes(dir / "valid.xlsx");
}

}  // namespace

TEST(XlsxRefusals, PasswordProtectedWorkbook) {
    TempDir dir;
    ASSERT_EQ(runPython(std::string(MAKE_WORKBOOKS_SCRIPT) + " encrypted " + (dir / "加密.xlsx")), 0);
    expectRefused(dir, "加密.xlsx", Refusal::Encrypted, "设有打开密码");
}

TEST(XlsxRefusals, EncryptedZipEntries) {
    if (!zip_encryption_method_supported(ZIP_EM_AES_256, 1)) GTEST_SKIP() << "libzip without AES";
    TempDir dir;
    const auto entries = xlsxEntries({{{"S", worksheetXml(kOneRow)}}, "", "", false, {}});
    int error = 0;
    zip_t* archive = zip_open((dir / "zipcrypt.xlsx").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : entries) {
        const zip_int64_t i = zip_file_add(archive, name.c_str(), zip_source_buffer(archive, bytes.data(), bytes.size(), 0), 0);
        ASSERT_GE(i, 0);
        if (name.find("worksheets") != std::string::npos) {
            ASSERT_EQ(zip_file_set_encryption(archive, static_cast<zip_uint64_t>(i), ZIP_EM_AES_256, "pw"), 0);
        }
    }
    ASSERT_EQ(zip_close(archive), 0);
    expectRefused(dir, "zipcrypt.xlsx", Refusal::Encrypted, "设有打开密码");
}

TEST(XlsxRefusals, DamagedOrTruncatedFiles) {
    TempDir dir;
    const std::string valid = validWorkbookBytes(dir);
    // A flipped byte inside the deflated sheet: the sheet's part comes after
    // the four parts ahead of it, so the middle of the file lies in it or in them.
    std::string flipped = valid;
    for (std::size_t i = valid.size() / 3; i < valid.size() / 3 + 40; ++i) flipped[i] = static_cast<char>(~flipped[i]);
    dir.write("flipped.xlsx", flipped);
    dir.write("truncated.xlsx", valid.substr(0, valid.size() / 2));
    writeZip(dir / "nobook.xlsx", {{"hello.txt", "hi"}});
    writeXlsx(dir / "badxml.xlsx", "<row r=\"1\"><c r=\"A1\"><v>1</v></row>");
    writeXlsx(dir / "badindex.xlsx", R"(<row r="1"><c r="A1" t="s"><v>5</v></c></row>)", sharedStringsXml({"<t>a</t>"}));
    writeXlsx(dir / "farrow.xlsx", R"(<row r="1048577"><c><v>1</v></c></row>)");
    writeXlsx(dir / "undeclared.xlsx", R"(<row r="1"><c t="inlineStr"><is><t>&foo;</t></is></c></row>)");
    XlsxParts dangling;
    dangling.sheets.push_back({"S", worksheetXml(kOneRow)});
    auto entries = xlsxEntries(dangling);
    entries.erase(entries.begin() + 4);  // the sheet's part
    writeZip(dir / "nosheet.xlsx", entries);

    for (const char* file : {"flipped.xlsx", "truncated.xlsx", "nobook.xlsx", "badxml.xlsx", "badindex.xlsx",
                             "farrow.xlsx", "undeclared.xlsx", "nosheet.xlsx"}) {
        SCOPED_TRACE(file);
        expectRefused(dir, file, Refusal::Damaged, "已损坏或不完整");
    }
    const auto bad = refusalOf(dir / "badxml.xlsx", dir / "copy.csv");
    ASSERT_TRUE(bad);
    EXPECT_NE(std::string(bad->what()).find("\nxl/worksheets/sheet1.xml: line "), std::string::npos) << bad->what();
}

TEST(XlsxRefusals, FilesThatAreNoWorkbook) {
    TempDir dir;
    dir.write("empty.xlsx", "");
    dir.write("text.xlsx", "email\r\na@b.cn\r\n");
    dir.write("page.xls", "<html><table><tr><td>a@b.cn</td></tr></table></html>");
    for (const char* file : {"empty.xlsx", "text.xlsx", "page.xls"}) {
        SCOPED_TRACE(file);
        expectRefused(dir, file, Refusal::NotAWorkbook, "不是Excel工作簿");
    }
}

TEST(XlsxRefusals, MissingFile) {
    TempDir dir;
    expectRefused(dir, "none.xlsx", Refusal::CannotOpen, "无法打开工作簿");
}

TEST(XlsxRefusals, NoSheetHoldingDataAndUnknownSheets) {
    TempDir dir;
    XlsxParts parts;
    parts.sheets.push_back({"一", worksheetXml("")});
    parts.sheets.push_back({"二", worksheetXml(R"(<row r="1"><c r="A1" s="0"/></row>)")});
    writeXlsx(dir / "empty.xlsx", parts);
    expectRefused(dir, "empty.xlsx", Refusal::NoData, "没有含有数据的工作表");
    expectRefused(dir, "empty.xlsx", Refusal::NoData, "的工作表\"二\"中没有数据", "二");

    writeXlsx(dir / "one.xlsx", kOneRow);
    expectRefused(dir, "one.xlsx", Refusal::UnknownSheet, "中没有名为\"名单\"的工作表", "名单");
    expectRefused(dir, "one.xlsx", Refusal::UnknownSheet, "中没有第2个工作表", "2");
    expectRefused(dir, "one.xlsx", Refusal::UnknownSheet, "中没有第0个工作表", "0");
}

TEST(XlsxRefusals, PartsThatInflateWithoutReasonableBound) {
    TempDir dir;
    // 4 MiB of blanks inside the sheet deflate about a thousandfold.
    writeXlsx(dir / "bomb.xlsx", kOneRow + std::string(4u << 20, ' '));
    expectRefused(dir, "bomb.xlsx", Refusal::TooLarge, "解压后的内容过大");

    // A part past the size limit, however well it compresses.
    std::string rows;
    for (int i = 1; i <= 3000; ++i)
        rows += "<row r=\"" + std::to_string(i) + "\"><c t=\"inlineStr\"><is><t>user" + std::to_string(i * 7919) +
                "@example.com</t></is></c></row>";
    writeXlsx(dir / "big.xlsx", rows);
    workbook::WorkbookOptions small;
    small.limits.maxPartBytes = 64u << 10;
    expectRefused(dir, "big.xlsx", Refusal::TooLarge, "解压后的内容过大", std::nullopt, small);
    EXPECT_FALSE(refusalOf(dir / "big.xlsx", dir / "copy.csv").has_value()) << "within the default limits";
}

TEST(XlsxRefusals, APartThatStatesAFalseSizeIsStillBounded) {
    TempDir dir;
    writeXlsx(dir / "liar.xlsx", kOneRow + std::string(4u << 20, ' '));
    // Both headers of the sheet's entry claim 1000 bytes uncompressed.
    std::string bytes = readBytes(dir / "liar.xlsx");
    const std::string name = "xl/worksheets/sheet1.xml";
    for (std::size_t at = bytes.find(name); at != std::string::npos; at = bytes.find(name, at + 1)) {
        const bool central = bytes.compare(at - 46, 4, "PK\x01\x02") == 0;
        const bool local = bytes.compare(at - 30, 4, "PK\x03\x04") == 0;
        ASSERT_TRUE(central || local);
        const std::size_t sizeField = central ? at - 46 + 24 : at - 30 + 22;
        bytes[sizeField] = static_cast<char>(0xE8);
        bytes[sizeField + 1] = 0x03;
        bytes[sizeField + 2] = 0;
        bytes[sizeField + 3] = 0;
    }
    dir.write("liar.xlsx", bytes);
    const auto refused = refusalOf(dir / "liar.xlsx", dir / "copy.csv");
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->refusal() == Refusal::Damaged || refused->refusal() == Refusal::TooLarge) << refused->what();
}

TEST(XlsxRefusals, NoExternalEntityIsRead) {
    TempDir dir;
    dir.write("secret.txt", "SECRET-MARKER");
    const std::string doctype = "<!DOCTYPE worksheet [<!ENTITY xxe SYSTEM \"file://" + (dir / "secret.txt") +
                                "\"><!ENTITY % remote SYSTEM \"http://127.0.0.1:9/x.dtd\">]>";
    writeSheetWithDoctype(dir / "xxe.xlsx", doctype, "&xxe;");
    expectRefused(dir, "xxe.xlsx", Refusal::UnsafeXml, "不安全的XML内容");

    // The same in the shared strings, read only when the sheet is written.
    XlsxParts inStrings;
    inStrings.sheets.push_back({"S", worksheetXml(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)")});
    inStrings.sharedStrings = withDoctype(doctype, "sst", "<si><t>&xxe;</t></si>");
    writeXlsx(dir / "xxe2.xlsx", inStrings);
    expectRefused(dir, "xxe2.xlsx", Refusal::UnsafeXml, "不安全的XML内容");
}

TEST(XlsxRefusals, NoEntityExpandsWithoutBound) {
    TempDir dir;
    std::string doctype = "<!DOCTYPE worksheet [<!ENTITY l0 \"laughlaughlaughlaugh\">";
    for (int i = 1; i <= 12; ++i) {
        doctype += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) doctype += "&l" + std::to_string(i - 1) + ";";
        doctype += "\">";
    }
    doctype += "]>";
    writeSheetWithDoctype(dir / "laughs.xlsx", doctype, "&l12;");
    expectRefused(dir, "laughs.xlsx", Refusal::UnsafeXml, "不安全的XML内容");
}
