// A part of the package parsed into events for a handler, by the SAX parser
// (the tool's fast path) or the streaming reader node by node (the plain
// path the tests compare it with).
#pragma once

#include <string>
#include <utility>

#include "workbook/sax_part_parser.h"
#include "workbook/xml_part_reader.h"

namespace workbook {

enum class XmlDriver { Sax, Reader };

// Builds Handler(names, args...) with the parser's names and hands it the
// part's events.
template <class Handler, class... Args>
void parseEvents(const ZipPackage& package, const std::string& part, XmlDriver driver, bool readAhead,
                 Args&&... args) {
    if (driver == XmlDriver::Sax) {
        SaxPartParser parser(package.open(part), readAhead);
        Handler handler(parser, std::forward<Args>(args)...);
        parser.parse(handler);
    } else {
        XmlPartReader reader(package.open(part), readAhead);
        Handler handler(reader, std::forward<Args>(args)...);
        reader.emitEvents(handler);
    }
}

}  // namespace workbook
