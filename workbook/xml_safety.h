// What every XML parser of a workbook part is set to, since a workbook is
// untrusted input: no DTD loaded, no default attributes from one, no entity
// substituted, no network; CDATA as text; never XML_PARSE_HUGE, so
// libxml2's own bounds on names, texts and nesting stay in force.  And no
// external resource at all: the process's entity loader refuses every one.
#pragma once

#include <libxml/parser.h>

namespace workbook {

constexpr int kSafeParseOptions = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_COMPACT;

// Initialises libxml2 and installs the refusing entity loader (once).
void installXmlResourceGuard();

}  // namespace workbook
