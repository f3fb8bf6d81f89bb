// Temporary folders and files for the export tests.
#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "temp_dir.h"

namespace testing_files {

using testsupport::TempDir;

inline void writeFile(const std::string& path, const std::string& bytes) { testsupport::writeBytes(path, bytes); }

inline std::string readFile(const std::string& path) {
    if (!platform::fileExists(path)) throw std::runtime_error("cannot read test file " + path);
    return testsupport::readBytes(path);
}

inline bool exists(const std::string& path) { return platform::fileExists(path); }

// The file names of a folder, sorted.
inline std::vector<std::string> listDir(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& name : testsupport::listNames(dir)) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

// The cells of a one-column file of the CSV writer, sorted (the order of the
// engine's distinct rows is not part of the pipeline's contract).
inline std::vector<std::string> csvValues(const std::string& path) {
    const std::string bytes = readFile(path);
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
