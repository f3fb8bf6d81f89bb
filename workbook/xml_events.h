// The XML of a part as the few events the workbook's readers need: an
// element starts (with its attributes), text, an element ends.  An empty
// element starts and ends.  Names are interned by the parser, so a handler
// compares them as pointers with the names it asked the parser for.
#pragma once

#include <libxml/xmlstring.h>

#include <string_view>

namespace workbook {

struct XmlAttribute {
    const xmlChar* name;  // local name, interned
    std::string_view value;
};

class XmlEventHandler {
public:
    virtual ~XmlEventHandler() = default;
    virtual void startElement(const xmlChar* name, const XmlAttribute* attributes, int count) = 0;
    virtual void endElement(const xmlChar* name) = 0;
    // Text, CDATA or white space inside an element; one text may come in pieces.
    virtual void text(std::string_view text) = 0;
    // True once the handler has all it wants: the parser stops there.
    virtual bool done() const { return false; }
};

// A parser's interned form of a name, for the handler's comparisons.
class XmlNames {
public:
    virtual ~XmlNames() = default;
    virtual const xmlChar* name(const char* text) = 0;
};

// Compares an attribute's local name with a plain one.
inline bool isAttribute(const XmlAttribute& a, std::string_view name) {
    return std::string_view(reinterpret_cast<const char*>(a.name)) == name;
}

}  // namespace workbook
