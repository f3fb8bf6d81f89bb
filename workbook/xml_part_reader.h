// libxml2's streaming reader (xmlTextReader) over one part of the package,
// set up for untrusted input (xml_safety.h); a part that declares a
// document type at all is refused (no part of a workbook has one), so
// neither an external entity nor an entity that expands without bound can
// reach the table.  Only the current node is held, never a tree of the part.
//
// The small parts are read with it, and it is the plain path of the sheet
// and the shared strings (emitEvents), beside the SAX parser that reads
// those large parts in the tool (sax_part_parser.h).
#pragma once

#include <libxml/xmlreader.h>

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "workbook/part_blocks.h"
#include "workbook/xml_events.h"

namespace workbook {

class XmlPartReader : public XmlNames {
public:
    explicit XmlPartReader(std::unique_ptr<PartStream> part, bool readAhead = false);
    ~XmlPartReader() override;
    XmlPartReader(const XmlPartReader&) = delete;
    XmlPartReader& operator=(const XmlPartReader&) = delete;

    // Moves to the next node; false at the end of the part.  Throws
    // WorkbookError: Damaged for XML that is not well formed, UnsafeXml for
    // a document type declaration, and what the part's stream throws.
    bool read();

    // Of the node read last.
    int nodeType() const { return nodeType_; }
    // The local name, from the reader's dictionary: compare with name().
    const xmlChar* localName() const { return xmlTextReaderConstLocalName(reader_); }
    bool isEmptyElement() const { return xmlTextReaderIsEmptyElement(reader_) == 1; }
    int depth() const { return xmlTextReaderDepth(reader_); }
    // The text of a text node, or an attribute's value.
    std::string_view value() const;
    // A name interned in the reader's dictionary, so that names compare as pointers.
    const xmlChar* name(const char* text) override { return xmlTextReaderConstString(reader_, BAD_CAST text); }

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

    // The rest of the part as events to the handler, until it is done.
    void emitEvents(XmlEventHandler& handler);

    const std::string& partName() const { return blocks_.part().name(); }
    const std::string& workbookName() const { return blocks_.part().workbookName(); }

private:
    static int readCallback(void* context, char* buffer, int size);
    [[noreturn]] void fail();

    PartBlocks blocks_;
    xmlTextReaderPtr reader_ = nullptr;
    xmlDocPtr abandonedDocument_ = nullptr;
    std::exception_ptr streamFailure_;
    std::string firstError_;
    int nodeType_ = 0;
    std::string_view block_;  // what is left of the block being handed to the reader
    bool partEnded_ = false;
};

// The first error of a parse, as "line N: message", for the detail line.
void recordFirstXmlError(void* firstError, xmlErrorPtr error);

}  // namespace workbook
