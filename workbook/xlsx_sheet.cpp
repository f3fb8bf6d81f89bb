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

class SheetStreamer {
public:
    SheetStreamer(XmlPartReader& reader, const SheetContext& context, TableWriter& writer)
        : reader_(reader), context_(context), writer_(writer) {
        sheetData_ = reader.name("sheetData");
        row_ = reader.name("row");
        c_ = reader.name("c");
        v_ = reader.name("v");
        is_ = reader.name("is");
        t_ = reader.name("t");
        rPh_ = reader.name("rPh");
        dimension_ = reader.name("dimension");
    }

    void run() {
        while (reader_.read()) {
            const int type = reader_.nodeType();
            if (type == XML_READER_TYPE_ELEMENT) {
                const xmlChar* name = reader_.localName();
                if (name == c_) startCell();
                else if (name == v_) readValue();
                else if (name == is_) readInline();
                else if (name == row_) startRow();
                else if (name == dimension_) readDimension();
            } else if (type == XML_READER_TYPE_END_ELEMENT) {
                const xmlChar* name = reader_.localName();
                if (name == c_) endCell();
                else if (name == row_) endRow();
                else if (name == sheetData_) break;  // nothing after it holds cells
            }
        }
        if (inRow_) endRow();
    }

private:
    [[noreturn]] void damaged(const std::string& detail) {
        throw refusal(Refusal::Damaged, reader_.workbookName(), reader_.partName() + ": " + detail);
    }

    void readDimension() {
        reader_.forEachAttribute([&](const xmlChar* name, std::string_view value) {
            if (std::string_view(reinterpret_cast<const char*>(name)) == "ref")
                writer_.suggestFirstLineFields(widthOfDimension(value));
        });
    }

    void startRow() {
        if (inRow_) endRow();
        std::uint64_t number = rowNumber_ + 1;
        reader_.forEachAttribute([&](const xmlChar* name, std::string_view value) {
            if (std::string_view(reinterpret_cast<const char*>(name)) != "r") return;
            bool ok = false;
            const std::uint64_t stated = parseWhole(value, ok);
            if (ok && stated > rowNumber_) number = stated;  // rows out of order follow the last one
        });
        if (number > kMaxSheetRows) damaged("row " + std::to_string(number) + " lies beyond the last row of a sheet");
        if (number > rowNumber_ + 1) writer_.addEmptyRows(number - rowNumber_ - 1);
        rowNumber_ = number;
        column_ = -1;
        inRow_ = true;
        if (reader_.isEmptyElement()) endRow();
    }

    void endRow() {
        writer_.endRow();
        inRow_ = false;
    }

    void startCell() {
        if (!inRow_) damaged("a cell outside a row");
        long column = column_ + 1;
        type_ = CellType::Number;
        styleKind_ = DateKind::None;
        reader_.forEachAttribute([&](const xmlChar* name, std::string_view value) {
            const std::string_view n(reinterpret_cast<const char*>(name));
            if (n == "r") {
                const long stated = columnOfReference(value);
                if (stated >= 0) column = stated;
            } else if (n == "t") {
                type_ = cellTypeOf(value);
            } else if (n == "s") {
                bool ok = false;
                const std::uint64_t style = parseWhole(value, ok);
                if (ok) styleKind_ = context_.styles.kindOf(style);
            }
        });
        if (column >= static_cast<long>(kMaxSheetColumns)) damaged("a cell lies beyond the last column of a sheet");
        column_ = column;
        value_.clear();
        hasValue_ = false;
        if (reader_.isEmptyElement()) return;
        inCell_ = true;
    }

    void readValue() {
        if (!inCell_) return;
        value_.clear();
        reader_.readElementText(value_);
        hasValue_ = true;
    }

    void readInline() {
        if (!inCell_) return;
        value_.clear();
        reader_.readElementText(value_, t_, rPh_);
        hasValue_ = true;
        type_ = CellType::Inline;
    }

    void endCell() {
        if (!inCell_) return;
        inCell_ = false;
        if (!hasValue_) return;
        std::string& out = writer_.cell(static_cast<std::size_t>(column_));
        out.clear();
        switch (type_) {
            case CellType::Number:
                if (styleKind_ != DateKind::None) {
                    double serial = 0;
                    const auto r = std::from_chars(value_.data(), value_.data() + value_.size(), serial);
                    if (r.ec == std::errc() && r.ptr == value_.data() + value_.size() &&
                        appendSerialDate(out, serial, styleKind_, context_.dateSystem))
                        break;
                }
                appendNumberText(out, value_);
                break;
            case CellType::Shared: {
                bool ok = false;
                const std::uint64_t index = parseWhole(value_, ok);
                if (!ok || index >= context_.strings.size())
                    damaged("a cell refers to shared string " + value_ + " of " +
                            std::to_string(context_.strings.size()));
                out += context_.strings.at(index);
                break;
            }
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
    }

    XmlPartReader& reader_;
    const SheetContext& context_;
    TableWriter& writer_;
    const xmlChar *sheetData_, *row_, *c_, *v_, *is_, *t_, *rPh_, *dimension_;
    std::uint64_t rowNumber_ = 0;  // the sheet's number of the current row, from 1
    long column_ = -1;              // the current cell's column, from 0
    bool inRow_ = false;
    bool inCell_ = false;
    bool hasValue_ = false;
    CellType type_ = CellType::Number;
    DateKind styleKind_ = DateKind::None;
    std::string value_;
};

}  // namespace

void streamSheet(XmlPartReader& reader, const SheetContext& context, TableWriter& writer) {
    SheetStreamer(reader, context, writer).run();
}

bool sheetHoldsValue(XmlPartReader& reader) {
    const xmlChar* c = reader.name("c");
    const xmlChar* v = reader.name("v");
    const xmlChar* is = reader.name("is");
    const xmlChar* t = reader.name("t");
    const xmlChar* sheetData = reader.name("sheetData");
    bool inCell = false;
    std::string text;
    while (reader.read()) {
        const int type = reader.nodeType();
        const xmlChar* name = reader.localName();
        if (type == XML_READER_TYPE_ELEMENT) {
            if (name == c) {
                inCell = !reader.isEmptyElement();
            } else if (inCell && (name == v || name == is)) {
                text.clear();
                reader.readElementText(text, name == is ? t : nullptr);
                if (!text.empty()) return true;
            }
        } else if (type == XML_READER_TYPE_END_ELEMENT) {
            if (name == c) inCell = false;
            else if (name == sheetData) break;
        }
    }
    return false;
}

}  // namespace workbook
