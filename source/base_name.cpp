#include "source/base_name.h"

#include <vector>

#include "platform/code_page.h"

namespace source {

std::string BaseName(const std::string& sourceFile) {
    std::vector<std::size_t> starts;  // byte offset of every character
    const char* begin = sourceFile.data();
    const char* end = begin + sourceFile.size();
    for (const char* p = begin; p < end; p += platform::utf8CharLength(p, end))
        starts.push_back(static_cast<std::size_t>(p - begin));
    if (starts.size() <= 4) return {};
    return sourceFile.substr(0, starts[starts.size() - 4]);
}

}  // namespace source

namespace source {

std::string WorkbookBaseName(const std::string& workbookFile) {
    const auto dot = workbookFile.rfind('.');
    return dot == std::string::npos ? workbookFile : workbookFile.substr(0, dot);
}

}  // namespace source
