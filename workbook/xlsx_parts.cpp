#include "workbook/xlsx_parts.h"

#include <map>

#include "workbook/number_formats.h"
#include "workbook/workbook_error.h"
#include "workbook/xml_part_reader.h"

namespace workbook {

namespace {

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string folderOf(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string relationshipsPartOf(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
    const std::string_view name = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(name) + ".rels";
}

struct Relationship {
    std::string type;
    std::string part;
};

// The relationships of a part, by id; none when the part has no relationships part.
std::map<std::string, Relationship> readRelationships(const ZipPackage& package, std::string_view part) {
    std::map<std::string, Relationship> relationships;
    const std::string relsPart = relationshipsPartOf(part);
    if (!package.has(relsPart)) return relationships;
    XmlPartReader reader(package.open(relsPart));
    const xmlChar* relationship = reader.name("Relationship");
    const std::string folder = folderOf(part);
    while (reader.read()) {
        if (reader.nodeType() != XML_READER_TYPE_ELEMENT || reader.localName() != relationship) continue;
        std::string id, type, target;
        bool external = false;
        reader.forEachAttribute([&](const xmlChar* name, std::string_view value) {
            const std::string_view n(reinterpret_cast<const char*>(name));
            if (n == "Id") id = value;
            else if (n == "Type") type = value;
            else if (n == "Target") target = value;
            else if (n == "TargetMode") external = value == "External";
        });
        if (!external && !target.empty()) relationships[id] = {type, resolvePartName(folder, target)};
    }
    return relationships;
}

const Relationship* findByType(const std::map<std::string, Relationship>& relationships, std::string_view tail) {
    for (const auto& [id, r] : relationships)
        if (endsWith(r.type, tail)) return &r;
    return nullptr;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
    return -1;
}

}  // namespace

std::string resolvePartName(std::string_view sourceFolder, std::string_view target) {
    std::string path;
    if (!target.empty() && target.front() == '/') target.remove_prefix(1);
    else path = sourceFolder;
    // Percent escapes of the target's URI undone.
    for (std::size_t i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 2 < target.size() && hexDigit(target[i + 1]) >= 0 && hexDigit(target[i + 2]) >= 0) {
            path += static_cast<char>(hexDigit(target[i + 1]) * 16 + hexDigit(target[i + 2]));
            i += 2;
        } else {
            path += target[i];
        }
    }
    // "." and ".." segments resolved.
    std::vector<std::string> segments;
    std::size_t from = 0;
    while (from <= path.size()) {
        std::size_t slash = path.find('/', from);
        if (slash == std::string::npos) slash = path.size();
        const std::string segment = path.substr(from, slash - from);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        from = slash + 1;
    }
    std::string resolved;
    for (const auto& segment : segments) {
        if (!resolved.empty()) resolved += '/';
        resolved += segment;
    }
    return resolved;
}

XlsxWorkbookParts readWorkbookParts(const ZipPackage& package) {
    std::string workbookPart = "xl/workbook.xml";
    // Held while its entry is read: a temporary would be gone by then.
    const auto packageRelationships = readRelationships(package, "");
    if (const Relationship* office = findByType(packageRelationships, "/officeDocument"))
        workbookPart = office->part;
    if (!package.has(workbookPart))
        throw refusal(Refusal::Damaged, package.displayName(), "no workbook part (" + workbookPart + ")");
    const auto relationships = readRelationships(package, workbookPart);

    XlsxWorkbookParts parts;
    if (const Relationship* strings = findByType(relationships, "/sharedStrings")) parts.sharedStringsPart = strings->part;
    if (const Relationship* styles = findByType(relationships, "/styles")) parts.stylesPart = styles->part;

    XmlPartReader reader(package.open(workbookPart));
    const xmlChar* sheet = reader.name("sheet");
    const xmlChar* workbookPr = reader.name("workbookPr");
    while (reader.read()) {
        if (reader.nodeType() != XML_READER_TYPE_ELEMENT) continue;
        if (reader.localName() == workbookPr) {
            reader.forEachAttribute([&](const xmlChar* name, std::string_view value) {
                if (std::string_view(reinterpret_cast<const char*>(name)) == "date1904" &&
                    (value == "1" || value == "true"))
                    parts.dateSystem = DateSystem::From1904;
            });
        } else if (reader.localName() == sheet) {
            XlsxSheetEntry entry;
            std::string id;
            reader.forEachAttribute([&](const xmlChar* name, std::string_view value) {
                const std::string_view n(reinterpret_cast<const char*>(name));
                if (n == "name") entry.name = value;
                else if (n == "id") id = value;
                else if (n == "state") entry.hidden = value != "visible";
            });
            const auto r = relationships.find(id);
            if (r == relationships.end()) {
                throw refusal(Refusal::Damaged, package.displayName(),
                              "the sheet \"" + entry.name + "\" has no part (relationship \"" + id + "\")");
            }
            if (!endsWith(r->second.type, "/worksheet")) continue;
            entry.part = r->second.part;
            parts.worksheets.push_back(std::move(entry));
        }
    }
    return parts;
}

namespace {

// Each string item ("si") is the text of its runs ("t"), without its
// phonetic runs ("rPh").
class StringItems : public XmlEventHandler {
public:
    StringItems(XmlNames& names, std::string& pool, std::vector<std::size_t>& ends)
        : item_(names.name("si")), t_(names.name("t")), phonetic_(names.name("rPh")), pool_(pool), ends_(ends) {}

    void startElement(const xmlChar* name, const XmlAttribute*, int) override {
        if (name == item_) {
            inItem_ = true;
            raw_.clear();
        } else if (name == t_) {
            collecting_ = inItem_ && phoneticDepth_ == 0;
        } else if (name == phonetic_) {
            ++phoneticDepth_;
        }
    }
    void endElement(const xmlChar* name) override {
        if (name == t_) {
            collecting_ = false;
        } else if (name == phonetic_) {
            if (phoneticDepth_ > 0) --phoneticDepth_;
        } else if (name == item_ && inItem_) {
            appendUnescaped(pool_, raw_);
            ends_.push_back(pool_.size());
            inItem_ = false;
        }
    }
    void text(std::string_view text) override {
        if (collecting_) raw_ += text;
    }

private:
    const xmlChar *item_, *t_, *phonetic_;
    std::string& pool_;
    std::vector<std::size_t>& ends_;
    std::string raw_;
    bool inItem_ = false;
    bool collecting_ = false;
    int phoneticDepth_ = 0;
};

}  // namespace

void SharedStrings::read(const ZipPackage& package, const std::string& part, XmlDriver driver) {
    pool_.clear();
    ends_.clear();
    if (part.empty() || !package.has(part)) return;
    parseEvents<StringItems>(package, part, driver, true, pool_, ends_);
}

void CellStyles::read(const ZipPackage& package, const std::string& part) {
    kinds_.clear();
    if (part.empty() || !package.has(part)) return;
    XmlPartReader reader(package.open(part));
    const xmlChar* numFmt = reader.name("numFmt");
    const xmlChar* cellXfs = reader.name("cellXfs");
    const xmlChar* xf = reader.name("xf");
    std::map<int, DateKind> ownFormats;
    int cellXfsDepth = -1;  // depth of the open cellXfs element, or -1
    while (reader.read()) {
        const int type = reader.nodeType();
        if (type == XML_READER_TYPE_END_ELEMENT) {
            if (reader.localName() == cellXfs) cellXfsDepth = -1;
            continue;
        }
        if (type != XML_READER_TYPE_ELEMENT) continue;
        const xmlChar* name = reader.localName();
        if (name == numFmt) {
            int id = -1;
            std::string code;
            reader.forEachAttribute([&](const xmlChar* attribute, std::string_view value) {
                const std::string_view n(reinterpret_cast<const char*>(attribute));
                if (n == "numFmtId") id = std::atoi(std::string(value).c_str());
                else if (n == "formatCode") code = value;
            });
            ownFormats[id] = formatCodeKind(code);
        } else if (name == cellXfs) {
            if (!reader.isEmptyElement()) cellXfsDepth = reader.depth();
        } else if (name == xf && cellXfsDepth >= 0 && reader.depth() == cellXfsDepth + 1) {
            int id = 0;
            reader.forEachAttribute([&](const xmlChar* attribute, std::string_view value) {
                if (std::string_view(reinterpret_cast<const char*>(attribute)) == "numFmtId")
                    id = std::atoi(std::string(value).c_str());
            });
            const auto own = ownFormats.find(id);
            kinds_.push_back(own != ownFormats.end() ? own->second : builtInFormatKind(id));
        }
    }
}

}  // namespace workbook
