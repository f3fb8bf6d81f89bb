// Workbook packages written by the tests, part by part, with libzip: the
// smallest .xlsx a spreadsheet program reads, around the sheet XML a test
// gives, so that each cell kind and each flaw can be written exactly.
#pragma once

#include <zip.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// One part of a package: its name and its bytes.
using ZipEntry = std::pair<std::string, std::string>;

// Writes a zip file of the entries (deflated unless stored is set).
inline void writeZip(const std::string& path, const std::vector<ZipEntry>& entries, bool stored = false) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("cannot create test zip " + path);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + name + " to test zip");
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 9);
    }
    if (zip_close(archive) != 0) throw std::runtime_error("cannot write test zip " + path);
}

struct XlsxSheetPart {
    std::string name;
    std::string xml;  // the whole worksheet part
    bool hidden = false;
};

// A worksheet part around the rows given (the content of sheetData);
// before goes ahead of sheetData (e.g. a dimension element).
inline std::string worksheetXml(const std::string& rows, const std::string& before = "") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
           before + "<sheetData>" + rows + "</sheetData></worksheet>";
}

// The shared-string part of the items (XML text, escaped by the caller).
inline std::string sharedStringsXml(const std::vector<std::string>& items) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"" +
        std::to_string(items.size()) + "\" uniqueCount=\"" + std::to_string(items.size()) + "\">";
    for (const auto& item : items) xml += "<si>" + item + "</si>";
    return xml + "</sst>";
}

// The style part with cell formats of these number format ids, in order,
// and the workbook's own formats (id, code) before them.
inline std::string stylesXml(const std::vector<int>& cellFormats,
                             const std::vector<std::pair<int, std::string>>& ownFormats = {}) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    if (!ownFormats.empty()) {
        xml += "<numFmts count=\"" + std::to_string(ownFormats.size()) + "\">";
        for (const auto& [id, code] : ownFormats)
            xml += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + code + "\"/>";
        xml += "</numFmts>";
    }
    // The cell style formats come first and must not be taken for cell formats.
    xml += "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>";
    xml += "<cellXfs count=\"" + std::to_string(cellFormats.size()) + "\">";
    for (const int id : cellFormats)
        xml += "<xf numFmtId=\"" + std::to_string(id) + "\" xfId=\"0\" applyNumberFormat=\"1\"><alignment/></xf>";
    return xml + "</cellXfs></styleSheet>";
}

struct XlsxParts {
    std::vector<XlsxSheetPart> sheets;
    std::string sharedStrings;  // the part's XML, or "" for none
    std::string styles;         // the part's XML, or "" for none
    bool date1904 = false;
    std::vector<ZipEntry> extra;  // further parts, written last
};

// The package's parts: content types, relationships, workbook, sheets.
inline std::vector<ZipEntry> xlsxEntries(const XlsxParts& parts) {
    const std::string ns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
    std::string workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
        ns + "\">" + (parts.date1904 ? "<workbookPr date1904=\"1\"/>" : "") + "<sheets>";
    std::string rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::vector<ZipEntry> entries;
    for (std::size_t i = 0; i < parts.sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        types += "<Override PartName=\"/xl/worksheets/sheet" + n +
                 ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        workbook += "<sheet name=\"" + parts.sheets[i].name + "\" sheetId=\"" + n + "\"" +
                    (parts.sheets[i].hidden ? " state=\"hidden\"" : "") + " r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + ns + "/worksheet\" Target=\"worksheets/sheet" + n +
                ".xml\"/>";
        entries.emplace_back("xl/worksheets/sheet" + n + ".xml", parts.sheets[i].xml);
    }
    if (!parts.sharedStrings.empty()) {
        rels += "<Relationship Id=\"rIdS\" Type=\"" + ns + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        entries.emplace_back("xl/sharedStrings.xml", parts.sharedStrings);
    }
    if (!parts.styles.empty()) {
        rels += "<Relationship Id=\"rIdT\" Type=\"" + ns + "/styles\" Target=\"/xl/styles.xml\"/>";
        entries.emplace_back("xl/styles.xml", parts.styles);
    }
    types += "</Types>";
    workbook += "</sheets></workbook>";
    rels += "</Relationships>";
    entries.insert(entries.begin(),
                   {{"[Content_Types].xml", types},
                    {"_rels/.rels",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                     "<Relationship Id=\"rId1\" Type=\"" +
                         ns + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
                    {"xl/workbook.xml", workbook},
                    {"xl/_rels/workbook.xml.rels", rels}});
    for (const auto& e : parts.extra) entries.push_back(e);
    return entries;
}

inline void writeXlsx(const std::string& path, const XlsxParts& parts) { writeZip(path, xlsxEntries(parts)); }

// A one-sheet workbook of these rows.
inline void writeXlsx(const std::string& path, const std::string& rows, const std::string& sharedStrings = "",
                      const std::string& styles = "") {
    XlsxParts parts;
    parts.sheets.push_back({"Sheet1", worksheetXml(rows)});
    parts.sharedStrings = sharedStrings;
    parts.styles = styles;
    writeXlsx(path, parts);
}

}  // namespace testsupport
