#include "workbook/xml_part_reader.h"

#include <libxml/xmlerror.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "workbook/workbook_error.h"
#include "workbook/xml_safety.h"

namespace workbook {

namespace {

// No workbook part refers to anything outside the package: every external
// entity, DTD or schema that libxml2 might be asked to load is refused, in
// case some path ever tried.
xmlParserInputPtr refuseExternalResource(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

}  // namespace

void installXmlResourceGuard() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalResource);
    });
}

void recordFirstXmlError(void* firstError, xmlErrorPtr error) {
    auto& first = *static_cast<std::string*>(firstError);
    if (!error || !first.empty() || error->level < XML_ERR_ERROR) return;
    first = "line " + std::to_string(error->line) + ": " + (error->message ? error->message : "");
    while (!first.empty() && (first.back() == '\n' || first.back() == ' ')) first.pop_back();
}

XmlPartReader::XmlPartReader(std::unique_ptr<PartStream> part, bool readAhead)
    : blocks_(std::move(part), readAhead) {
    installXmlResourceGuard();
    reader_ = xmlReaderForIO(&XmlPartReader::readCallback, nullptr, this, partName().c_str(), nullptr,
                             kSafeParseOptions);
    if (!reader_) throw std::bad_alloc();
    xmlTextReaderSetStructuredErrorHandler(reader_, recordFirstXmlError, &firstError_);
}

XmlPartReader::~XmlPartReader() {
    if (reader_) xmlFreeTextReader(reader_);
    if (abandonedDocument_) xmlFreeDoc(abandonedDocument_);
}

int XmlPartReader::readCallback(void* context, char* buffer, int size) {
    auto& self = *static_cast<XmlPartReader*>(context);
    if (self.streamFailure_) return -1;
    try {
        if (self.block_.empty()) {
            if (self.partEnded_) return 0;
            self.block_ = self.blocks_.next();
            if (self.block_.empty()) {
                self.partEnded_ = true;
                return 0;
            }
        }
        const std::size_t n = std::min(static_cast<std::size_t>(size), self.block_.size());
        std::memcpy(buffer, self.block_.data(), n);
        self.block_.remove_prefix(n);
        return static_cast<int>(n);
    } catch (...) {
        self.streamFailure_ = std::current_exception();
        return -1;
    }
}

void XmlPartReader::fail() {
    if (streamFailure_) std::rethrow_exception(streamFailure_);
    // An entity loop or an undefined entity stops the parser inside the
    // document type declaration, before its node is read: that declaration
    // is what makes the part unsafe.  (Taking the document makes it ours to free.)
    abandonedDocument_ = xmlTextReaderCurrentDoc(reader_);
    if (abandonedDocument_ && (abandonedDocument_->intSubset || abandonedDocument_->extSubset))
        throw refusal(Refusal::UnsafeXml, workbookName(),
                      partName() + ": a document type declaration" +
                          (firstError_.empty() ? std::string() : " (" + firstError_ + ")"));
    throw refusal(Refusal::Damaged, workbookName(),
                  partName() + ": " + (firstError_.empty() ? "malformed XML" : firstError_));
}

bool XmlPartReader::read() {
    const int result = xmlTextReaderRead(reader_);
    if (result == 1) {
        const int type = nodeType_ = xmlTextReaderNodeType(reader_);
        if (type == XML_READER_TYPE_DOCUMENT_TYPE || type == XML_READER_TYPE_ENTITY_REFERENCE ||
            type == XML_READER_TYPE_ENTITY)
            throw refusal(Refusal::UnsafeXml, workbookName(),
                          partName() + ": a document type declaration or an entity reference");
        return true;
    }
    if (result == 0 && !streamFailure_ && firstError_.empty()) return false;
    fail();
}

std::string_view XmlPartReader::value() const {
    const xmlChar* text = xmlTextReaderConstValue(reader_);
    if (!text) return {};
    return std::string_view(reinterpret_cast<const char*>(text));
}

void XmlPartReader::readElementText(std::string& text, const xmlChar* textElement, const xmlChar* leaveOut) {
    if (isEmptyElement()) return;
    const int start = depth();
    int inside = textElement ? 0 : 1;  // open text elements around the current node
    int leftOutDepth = -1;             // depth of the left-out element being passed, or -1
    while (read()) {
        const int type = nodeType();
        if (type == XML_READER_TYPE_END_ELEMENT) {
            const int d = depth();
            if (d == start) return;
            if (d == leftOutDepth) leftOutDepth = -1;
            else if (textElement && localName() == textElement) --inside;
        } else if (type == XML_READER_TYPE_ELEMENT) {
            if (isEmptyElement()) continue;
            if (leftOutDepth < 0 && leaveOut && localName() == leaveOut) leftOutDepth = depth();
            else if (textElement && localName() == textElement) ++inside;
        } else if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
                   type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE) {
            if (inside > 0 && leftOutDepth < 0) text += value();
        }
    }
    fail();  // the part ended inside the element
}

void XmlPartReader::emitEvents(XmlEventHandler& handler) {
    std::vector<std::string> values;
    std::vector<XmlAttribute> attributes;
    while (!handler.done() && read()) {
        const int type = nodeType();
        if (type == XML_READER_TYPE_ELEMENT) {
            const xmlChar* element = localName();
            const bool empty = isEmptyElement();
            values.clear();
            attributes.clear();
            forEachAttribute([&](const xmlChar* name, std::string_view value) {
                values.emplace_back(value);
                attributes.push_back({name, {}});
            });
            for (std::size_t i = 0; i < attributes.size(); ++i) attributes[i].value = values[i];
            handler.startElement(element, attributes.data(), static_cast<int>(attributes.size()));
            if (empty) handler.endElement(element);
        } else if (type == XML_READER_TYPE_END_ELEMENT) {
            handler.endElement(localName());
        } else if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
                   type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE) {
            handler.text(value());
        }
    }
}

}  // namespace workbook
