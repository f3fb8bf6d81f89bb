// Temporary folders and GBK files for the export tests.
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "temp_dir.h"

namespace testing_files {

using testsupport::TempDir;

// Paths are GBK, as everywhere in the core.
inline void writeFile(const std::string& gbkPath, const std::string& bytes) {
    testsupport::writeBytes(platform::nativePath(gbkPath), bytes);
}

inline std::string readFile(const std::string& gbkPath) {
    if (!platform::fileExists(gbkPath)) throw std::runtime_error("cannot read test file " + gbkPath);
    return testsupport::readBytes(platform::nativePath(gbkPath));
}

inline bool exists(const std::string& gbkPath) { return platform::fileExists(gbkPath); }

// The file names of a folder, sorted.
inline std::vector<std::string> listDir(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& name : testsupport::listNames(platform::nativePath(dir))) names.push_back(platform::gbkPath(name));
    std::sort(names.begin(), names.end());
    return names;
}

// The cells of a one-column file of the CSV writer, sorted (the order of the
// engine's distinct rows is not part of the pipeline's contract).
inline std::vector<std::string> csvValues(const std::string& gbkPath) {
    const std::string bytes = readFile(gbkPath);
    std::vector<std::string> values;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        if (line.size() < 2 || line.front() != '"' || line.back() != '"')
            throw std::runtime_error("not a quoted cell: " + line);
        std::string value;
        for (std::size_t i = 1; i + 1 < line.size(); ++i) {
            value += line[i];
            if (line[i] == '"') ++i;  // "" stands for one quote
        }
        values.push_back(value);
        pos = end + 2;
    }
    std::sort(values.begin(), values.end());
    return values;
}

}  // namespace testing_files
