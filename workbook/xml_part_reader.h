// libxml2's streaming reader (xmlTextReader) over one part of the package,
// set up for untrusted input: it loads no DTD, substitutes no entity, opens
// no file and no network address, and a part that declares a document type
// at all is refused (no part of a workbook has one), so neither an external
// entity nor an entity that expands without bound can reach the table.
// Only the current node is held; a sheet is never held as a tree.
#pragma once

#include <libxml/xmlreader.h>

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/zip_package.h"

namespace workbook {

class XmlPartReader {
public:
    explicit XmlPartReader(std::unique_ptr<PartStream> part);
    ~XmlPartReader();
    XmlPartReader(const XmlPartReader&) = delete;
    XmlPartReader& operator=(const XmlPartReader&) = delete;

    // Moves to the next node; false at the end of the part.  Throws
    // WorkbookError: Damaged for XML that is not well formed, UnsafeXml for
    // a document type declaration, and what the part's stream throws.
    bool read();

    int nodeType() const { return xmlTextReaderNodeType(reader_); }
    // The local name, from the reader's dictionary: compare with name().
    const xmlChar* localName() const { return xmlTextReaderConstLocalName(reader_); }
    bool isEmptyElement() const { return xmlTextReaderIsEmptyElement(reader_) == 1; }
    int depth() const { return xmlTextReaderDepth(reader_); }
    // The text of a text node, or an attribute's value.
    std::string_view value() const;
    // A name interned in the reader's dictionary, so that names compare as pointers.
    const xmlChar* name(const char* text) const { return xmlTextReaderConstString(reader_, BAD_CAST text); }

    // Calls f(localName, value) for each attribute of the current element.
    template <class F>
    void forEachAttribute(F&& f) {
        if (xmlTextReaderMoveToFirstAttribute(reader_) != 1) return;
        do f(localName(), value());
        while (xmlTextReaderMoveToNextAttribute(reader_) == 1);
        xmlTextReaderMoveToElement(reader_);
    }

    // Appends the text of the current element (text, CDATA and white space)
    // and moves to its end; nothing for an empty element.  With textElement,
    // only text inside elements of that name counts, and none inside
    // elements named leaveOut (a string item's "t" runs without its
    // phonetic "rPh" runs).
    void readElementText(std::string& text, const xmlChar* textElement = nullptr,
                         const xmlChar* leaveOut = nullptr);

    const std::string& partName() const { return part_->name(); }
    const std::string& workbookName() const { return part_->workbookName(); }

private:
    static int readCallback(void* context, char* buffer, int size);
    [[noreturn]] void fail();

    std::unique_ptr<PartStream> part_;
    xmlTextReaderPtr reader_ = nullptr;
    xmlDocPtr abandonedDocument_ = nullptr;
    std::exception_ptr streamFailure_;
    std::string firstError_;
    std::vector<char> buffer_;
    std::size_t bufferStart_ = 0, bufferEnd_ = 0;
    bool partEnded_ = false;
};

}  // namespace workbook
