// ⚡ The large parts (the sheet, the shared strings) through libxml2's SAX
// interface: the same streaming parser that xmlTextReader drives, its
// events handed on as they come, without building a node per element and
// attribute as the reader does (about twice as fast on a sheet).  Set up as
// every parser of a workbook part (xml_safety.h); besides, a document type
// declaration or an entity declaration stops the parse as unsafe, and no
// entity but the predefined ones (&amp; and its kind) is known.  XmlPartReader::emitEvents
// is the plain path beside it; the tests compare the two.
#pragma once

#include <libxml/parser.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "workbook/part_blocks.h"
#include "workbook/xml_events.h"

namespace workbook {

class SaxPartParser : public XmlNames {
public:
    SaxPartParser(std::unique_ptr<PartStream> part, bool readAhead);
    ~SaxPartParser() override;
    SaxPartParser(const SaxPartParser&) = delete;
    SaxPartParser& operator=(const SaxPartParser&) = delete;

    const xmlChar* name(const char* text) override;

    // Parses the part, or until the handler is done.  Throws WorkbookError
    // (Damaged, UnsafeXml, what reading the part throws) and what the
    // handler throws.
    void parse(XmlEventHandler& handler);

private:
    static void onStart(void* self, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
                        int count, int, const xmlChar** attributes);
    static void onEnd(void* self, const xmlChar* name, const xmlChar*, const xmlChar*);
    static void onText(void* self, const xmlChar* text, int size);
    static void onError(void* self, xmlErrorPtr error);
    static void onDocumentType(void* self, const xmlChar*, const xmlChar*, const xmlChar*);
    static void onEntityDeclaration(void* self, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*);
    static xmlEntityPtr onEntity(void* self, const xmlChar*);
    // Runs an event; a failure or an unsafe construct stops the parser.
    template <class F>
    void guarded(F&& f);
    void stop();

    PartBlocks blocks_;
    xmlParserCtxtPtr context_ = nullptr;
    XmlEventHandler* handler_ = nullptr;
    std::vector<XmlAttribute> attributes_;  // of the element being started
    std::exception_ptr handlerFailure_;
    std::string firstError_;
    bool unsafe_ = false;
    bool stopped_ = false;
};

}  // namespace workbook
