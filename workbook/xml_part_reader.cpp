#include "workbook/xml_part_reader.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <mutex>

#include "workbook/workbook_error.h"

namespace workbook {

namespace {

constexpr std::size_t kReadBlock = 256u << 10;

// No workbook part refers to anything outside the package: every external
// entity, DTD or schema that libxml2 might be asked to load is refused, in
// case some path ever tried.
xmlParserInputPtr refuseExternalResource(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

void installResourceGuard() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalResource);
    });
}

void recordError(void* context, xmlErrorPtr error) {
    auto& first = *static_cast<std::string*>(context);
    if (!error || !first.empty() || error->level < XML_ERR_ERROR) return;
    first = "line " + std::to_string(error->line) + ": " + (error->message ? error->message : "");
    while (!first.empty() && (first.back() == '\n' || first.back() == ' ')) first.pop_back();
}

// No DTD loaded, no default attributes from one, no entity substituted, no
// network; CDATA as text.  Never XML_PARSE_HUGE: libxml2's own bounds on
// names, texts and nesting stay in force.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_COMPACT;

}  // namespace

XmlPartReader::XmlPartReader(std::unique_ptr<PartStream> part) : part_(std::move(part)), buffer_(kReadBlock) {
    installResourceGuard();
    reader_ = xmlReaderForIO(&XmlPartReader::readCallback, nullptr, this, part_->name().c_str(), nullptr,
                             kParseOptions);
    if (!reader_) throw std::bad_alloc();
    xmlTextReaderSetStructuredErrorHandler(reader_, recordError, &firstError_);
}

XmlPartReader::~XmlPartReader() {
    if (reader_) xmlFreeTextReader(reader_);
    if (abandonedDocument_) xmlFreeDoc(abandonedDocument_);
}

int XmlPartReader::readCallback(void* context, char* buffer, int size) {
    auto& self = *static_cast<XmlPartReader*>(context);
    if (self.streamFailure_) return -1;
    try {
        if (self.bufferStart_ == self.bufferEnd_) {
            if (self.partEnded_) return 0;
            self.bufferStart_ = 0;
            self.bufferEnd_ = self.part_->read(self.buffer_.data(), self.buffer_.size());
            if (self.bufferEnd_ == 0) {
                self.partEnded_ = true;
                return 0;
            }
        }
        const std::size_t n = std::min(static_cast<std::size_t>(size), self.bufferEnd_ - self.bufferStart_);
        std::memcpy(buffer, self.buffer_.data() + self.bufferStart_, n);
        self.bufferStart_ += n;
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
        throw refusal(Refusal::UnsafeXml, part_->workbookName(),
                      part_->name() + ": a document type declaration" +
                          (firstError_.empty() ? std::string() : " (" + firstError_ + ")"));
    throw refusal(Refusal::Damaged, part_->workbookName(),
                  part_->name() + ": " + (firstError_.empty() ? "malformed XML" : firstError_));
}

bool XmlPartReader::read() {
    const int result = xmlTextReaderRead(reader_);
    if (result == 1) {
        const int type = nodeType();
        if (type == XML_READER_TYPE_DOCUMENT_TYPE || type == XML_READER_TYPE_ENTITY_REFERENCE ||
            type == XML_READER_TYPE_ENTITY)
            throw refusal(Refusal::UnsafeXml, part_->workbookName(),
                          part_->name() + ": a document type declaration or an entity reference");
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

}  // namespace workbook
