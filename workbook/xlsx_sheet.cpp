#include "workbook/xlsx_sheet.h"

#include <charconv>

#include "workbook/workbook_error.h"

namespace workbook {

long columnOfReference(std::string_view reference) {
    long column = 0;
    std::size_t i = 0;
    for (; i < reference.size(); ++i) {
        const char c = static_cast<char>(reference[i] | 0x20);
        if (c < 'a' || c > 'z') break;
        column = column * 26 + (c - 'a' + 1);
        if (column > static_cast<long>(kMaxSheetColumns)) return static_cast<long>(kMaxSheetColumns);
    }
    return i == 0 ? -1 : column - 1;
}

namespace {

std::uint64_t parseWhole(std::string_view text, bool& ok) {
    std::uint64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    ok = result.ec == std::errc() && result.ptr == text.data() + text.size();
    return value;
}

// The width a dimension "A1:C100" states: the last column's number, or 0.
std::size_t widthOfDimension(std::string_view ref) {
    const std::size_t colon = ref.find(':');
    const long column = columnOfReference(colon == std::string_view::npos ? ref : ref.substr(colon + 1));
    if (column < 0) return 0;
    return std::min(static_cast<std::size_t>(column) + 1, kMaxSheetColumns);
}

enum class CellType { Number, Shared, Inline, Text, Boolean, Error, IsoDate };

CellType cellTypeOf(std::string_view t) {
    if (t.empty() || t == "n") return CellType::Number;
    if (t == "s") return CellType::Shared;
    if (t == "inlineStr") return CellType::Inline;
    if (t == "str") return CellType::Text;
    if (t == "b") return CellType::Boolean;
    if (t == "e") return CellType::Error;
    if (t == "d") return CellType::IsoDate;
    return CellType::Text;
}

// The elements of a sheet that carry cells, as the parser interns them.
struct SheetNames {
    explicit SheetNames(XmlNames& names)
        : sheetData(names.name("sheetData")),
          row(names.name("row")),
          c(names.name("c")),
          v(names.name("v")),
          is(names.name("is")),
          t(names.name("t")),
          rPh(names.name("rPh")),
          dimension(names.name("dimension")) {}
    const xmlChar *sheetData, *row, *c, *v, *is, *t, *rPh, *dimension;
};

class SheetStreamer : public XmlEventHandler {
public:
    SheetStreamer(XmlNames& names, const std::string& workbookName, const std::string& partName,
                  const CellStyles& styles, DateSystem dateSystem, RowSink& sink)
        : names_(names), workbookName_(workbookName), partName_(partName), styles_(styles),
          dateSystem_(dateSystem), sink_(sink) {}

    void startElement(const xmlChar* name, const XmlAttribute* attributes, int count) override {
        if (name == names_.c) {
            startCell(attributes, count);
        } else if (name == names_.v) {
            if (!inCell_) return;
            value_.clear();
            collecting_ = true;
            hasValue_ = true;
        } else if (name == names_.t) {
            if (inInline_ && phonetic_ == 0) collecting_ = true;
        } else if (name == names_.is) {
            if (!inCell_) return;
            value_.clear();
            inInline_ = true;
            hasValue_ = true;
            type_ = CellType::Inline;
        } else if (name == names_.rPh) {
            if (inInline_) ++phonetic_;
        } else if (name == names_.row) {
            startRow(attributes, count);
        } else if (name == names_.dimension) {
            for (int i = 0; i < count; ++i)
                if (isAttribute(attributes[i], "ref")) sink_.suggestWidth(widthOfDimension(attributes[i].value));
        }
    }

    void endElement(const xmlChar* name) override {
        if (name == names_.v || name == names_.t) {
            collecting_ = false;
        } else if (name == names_.c) {
            endCell();
        } else if (name == names_.row) {
            if (inRow_) endRow();
        } else if (name == names_.is) {
            inInline_ = false;
        } else if (name == names_.rPh) {
            if (phonetic_ > 0) --phonetic_;
        } else if (name == names_.sheetData) {
            finished_ = true;  // nothing after it holds cells
            if (inRow_) endRow();
        }
    }

    void text(std::string_view text) override {
        if (collecting_) value_ += text;
    }

    bool done() const override { return finished_; }

private:
    [[noreturn]] void damaged(const std::string& detail) {
        throw refusal(Refusal::Damaged, workbookName_, partName_ + ": " + detail);
    }

    void startRow(const XmlAttribute* attributes, int count) {
        if (inRow_) endRow();
        std::uint64_t number = rowNumber_ + 1;
        for (int i = 0; i < count; ++i) {
            if (!isAttribute(attributes[i], "r")) continue;
            bool ok = false;
            const std::uint64_t stated = parseWhole(attributes[i].value, ok);
            if (ok && stated > rowNumber_) number = stated;  // rows out of order follow the last one
        }
        if (number > kMaxSheetRows) damaged("row " + std::to_string(number) + " lies beyond the last row of a sheet");
        if (number > rowNumber_ + 1) sink_.emptyRows(number - rowNumber_ - 1);
        rowNumber_ = number;
        column_ = -1;
        inRow_ = true;
    }

    void endRow() {
        sink_.endRow();
        inRow_ = false;
    }

    void startCell(const XmlAttribute* attributes, int count) {
        if (!inRow_) damaged("a cell outside a row");
        long column = column_ + 1;
        type_ = CellType::Number;
        styleKind_ = DateKind::None;
        for (int i = 0; i < count; ++i) {
            const XmlAttribute& a = attributes[i];
            if (isAttribute(a, "r")) {
                const long stated = columnOfReference(a.value);
                if (stated >= 0) column = stated;
            } else if (isAttribute(a, "t")) {
                type_ = cellTypeOf(a.value);
            } else if (isAttribute(a, "s")) {
                bool ok = false;
                const std::uint64_t style = parseWhole(a.value, ok);
                if (ok) styleKind_ = styles_.kindOf(style);
            }
        }
        if (column >= static_cast<long>(kMaxSheetColumns)) damaged("a cell lies beyond the last column of a sheet");
        column_ = column;
        hasValue_ = false;
        inCell_ = true;
    }

    void endCell() {
        if (!inCell_) return;
        inCell_ = false;
        inInline_ = false;
        collecting_ = false;
        phonetic_ = 0;
        if (!hasValue_) return;
        const auto column = static_cast<std::size_t>(column_);
        if (type_ == CellType::Shared) {
            bool ok = false;
            const std::uint64_t index = parseWhole(value_, ok);
            if (!ok) damaged("a cell refers to shared string \"" + value_ + "\"");
            sink_.sharedString(column, index);
            return;
        }
        std::string& out = text_;
        out.clear();
        switch (type_) {
            case CellType::Number:
                if (styleKind_ != DateKind::None) {
                    double serial = 0;
                    const auto r = std::from_chars(value_.data(), value_.data() + value_.size(), serial);
                    if (r.ec == std::errc() && r.ptr == value_.data() + value_.size() &&
                        appendSerialDate(out, serial, styleKind_, dateSystem_))
                        break;
                }
                appendNumberText(out, value_);
                break;
            case CellType::Shared:  // handed on above
                break;
            case CellType::Inline:
            case CellType::Text:
                appendUnescaped(out, value_);
                break;
            case CellType::Boolean:
                out += value_ == "1" || value_ == "true" ? "TRUE" : "FALSE";
                break;
            case CellType::Error:
                out += value_;
                break;
            case CellType::IsoDate:
                appendIsoDate(out, value_);
                break;
        }
        sink_.text(column, out);
    }

    SheetNames names_;
    const std::string& workbookName_;
    const std::string& partName_;
    const CellStyles& styles_;
    DateSystem dateSystem_;
    RowSink& sink_;
    std::uint64_t rowNumber_ = 0;  // the sheet's number of the current row, from 1
    long column_ = -1;              // the current cell's column, from 0
    bool inRow_ = false;
    bool inCell_ = false;
    bool inInline_ = false;
    bool collecting_ = false;  // the text read now is the cell's value
    int phonetic_ = 0;         // open phonetic runs of an inline string
    bool hasValue_ = false;
    bool finished_ = false;
    CellType type_ = CellType::Number;
    DateKind styleKind_ = DateKind::None;
    std::string value_;
    std::string text_;
};

// Stops at the first cell that holds a value.
class ValueProbe : public XmlEventHandler {
public:
    ValueProbe(XmlNames& names, bool& found) : names_(names), found_(found) {}

    void startElement(const xmlChar* name, const XmlAttribute*, int) override {
        if (name == names_.c) inCell_ = true;
        else if (inCell_ && (name == names_.v || (name == names_.t && inInline_))) collecting_ = true;
        else if (inCell_ && name == names_.is) inInline_ = true;
    }
    void endElement(const xmlChar* name) override {
        if (name == names_.c) inCell_ = inInline_ = collecting_ = false;
        else if (name == names_.v || name == names_.t) collecting_ = false;
        else if (name == names_.sheetData) finished_ = true;
    }
    void text(std::string_view text) override {
        if (collecting_ && !text.empty()) found_ = true;
    }
    bool done() const override { return found_ || finished_; }

private:
    SheetNames names_;
    bool& found_;
    bool inCell_ = false;
    bool inInline_ = false;
    bool collecting_ = false;
    bool finished_ = false;
};

}  // namespace

void streamSheet(const ZipPackage& package, const std::string& part, XmlDriver driver, const CellStyles& styles,
                 DateSystem dateSystem, RowSink& sink) {
    // The sheet is inflated a few blocks ahead on a thread of its own.
    parseEvents<SheetStreamer>(package, part, driver, true, package.displayName(), part, styles, dateSystem, sink);
}

bool sheetHoldsValue(const ZipPackage& package, const std::string& part, XmlDriver driver) {
    bool found = false;
    parseEvents<ValueProbe>(package, part, driver, false, found);
    return found;
}

}  // namespace workbook
