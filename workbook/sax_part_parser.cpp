#include "workbook/sax_part_parser.h"

#include <libxml/xmlerror.h>

#include <cstring>

#include "workbook/workbook_error.h"
#include "workbook/xml_part_reader.h"
#include "workbook/xml_safety.h"

namespace workbook {

SaxPartParser::SaxPartParser(std::unique_ptr<PartStream> part, bool readAhead) : blocks_(std::move(part), readAhead) {
    installXmlResourceGuard();
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &SaxPartParser::onStart;
    sax.endElementNs = &SaxPartParser::onEnd;
    sax.characters = &SaxPartParser::onText;
    sax.ignorableWhitespace = &SaxPartParser::onText;
    sax.cdataBlock = &SaxPartParser::onText;
    sax.internalSubset = &SaxPartParser::onDocumentType;
    sax.externalSubset = &SaxPartParser::onDocumentType;
    sax.entityDecl = &SaxPartParser::onEntityDeclaration;
    sax.getEntity = &SaxPartParser::onEntity;
    sax.getParameterEntity = &SaxPartParser::onEntity;
    sax.serror = &SaxPartParser::onError;
    context_ = xmlCreatePushParserCtxt(&sax, this, nullptr, 0, blocks_.part().name().c_str());
    if (!context_) throw std::bad_alloc();
    xmlCtxtUseOptions(context_, kSafeParseOptions);
}

SaxPartParser::~SaxPartParser() {
    if (context_) xmlFreeParserCtxt(context_);
}

const xmlChar* SaxPartParser::name(const char* text) { return xmlDictLookup(context_->dict, BAD_CAST text, -1); }

void SaxPartParser::stop() {
    stopped_ = true;
    xmlStopParser(context_);
}

template <class F>
void SaxPartParser::guarded(F&& f) {
    if (stopped_) return;
    try {
        f();
        if (handler_->done()) stop();
    } catch (...) {
        handlerFailure_ = std::current_exception();
        stop();
    }
}

void SaxPartParser::onStart(void* self, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
                            int count, int, const xmlChar** attributes) {
    auto& parser = *static_cast<SaxPartParser*>(self);
    parser.guarded([&] {
        // Each attribute comes as local name, prefix, URI, value and value end.
        auto& list = parser.attributes_;
        list.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const xmlChar* const* a = attributes + 5 * i;
            list[static_cast<std::size_t>(i)] = {
                a[0], std::string_view(reinterpret_cast<const char*>(a[3]), static_cast<std::size_t>(a[4] - a[3]))};
        }
        parser.handler_->startElement(name, list.data(), count);
    });
}

void SaxPartParser::onEnd(void* self, const xmlChar* name, const xmlChar*, const xmlChar*) {
    auto& parser = *static_cast<SaxPartParser*>(self);
    parser.guarded([&] { parser.handler_->endElement(name); });
}

void SaxPartParser::onText(void* self, const xmlChar* text, int size) {
    auto& parser = *static_cast<SaxPartParser*>(self);
    parser.guarded([&] {
        parser.handler_->text(std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)));
    });
}

void SaxPartParser::onError(void* self, xmlErrorPtr error) {
    recordFirstXmlError(&static_cast<SaxPartParser*>(self)->firstError_, error);
}

void SaxPartParser::onDocumentType(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto& parser = *static_cast<SaxPartParser*>(self);
    parser.unsafe_ = true;
    parser.stop();
}

void SaxPartParser::onEntityDeclaration(void* self, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
    auto& parser = *static_cast<SaxPartParser*>(self);
    parser.unsafe_ = true;
    parser.stop();
}

xmlEntityPtr SaxPartParser::onEntity(void*, const xmlChar*) {
    // Only the predefined entities (&amp; and its kind), which the parser
    // resolves itself, exist: any other reference is malformed XML.
    return nullptr;
}

void SaxPartParser::parse(XmlEventHandler& handler) {
    handler_ = &handler;
    int result = 0;
    for (;;) {
        std::string_view block;
        try {
            block = blocks_.next();
        } catch (...) {
            handlerFailure_ = std::current_exception();
            break;
        }
        result = xmlParseChunk(context_, block.data(), static_cast<int>(block.size()), block.empty() ? 1 : 0);
        if (stopped_ || result != 0 || block.empty()) break;
    }
    const std::string& part = blocks_.part().name();
    const std::string& workbook = blocks_.part().workbookName();
    if (unsafe_)
        throw refusal(Refusal::UnsafeXml, workbook, part + ": a document type declaration or an entity reference");
    if (handlerFailure_) std::rethrow_exception(handlerFailure_);
    if (stopped_) return;  // the handler had all it wanted
    if (result != 0 || !context_->wellFormed)
        throw refusal(Refusal::Damaged, workbook, part + ": " + (firstError_.empty() ? "malformed XML" : firstError_));
}

}  // namespace workbook
