// The connection string over a folder of text tables, composed the way the
// tool composes it (hdr "Yes"/"No", fmt "CSVDelimited", "Delimited(;)", ...).
#pragma once

#include <string>

namespace testsupport {

inline std::string connectionString(const std::string& dir, const std::string& hdr, const std::string& fmt) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir + ";Extended Properties=\"Text;HDR=" + hdr +
           ";IMEX=1;FMT=" + fmt + "\"";
}

}  // namespace testsupport
