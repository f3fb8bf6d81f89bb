// Shared by the test folders: a fresh temporary folder per test, removed with
// everything in it afterwards, and whole files written and read as bytes.
// Paths are file-system names (UTF-8), as everywhere in the tool.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace testsupport {

// Replaces the file with bytes; a fixture that cannot be written fails the test.
inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file " + path);
}

// The bytes of a file; "" when there is none.
inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file names of a folder, sorted.
inline std::vector<std::string> listNames(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class TempDir {
public:
    explicit TempDir(const std::string& prefix = "emailclean-test") {
        std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        // A test may have taken the owner's rights away to provoke a failure.
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return file(name); }

    // Writes bytes to a file of this folder and returns its full path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string full = file(name);
        writeBytes(full, bytes);
        return full;
    }
    // A sub-folder, created.
    std::string makeDir(const std::string& name) const {
        const std::string dir = file(name);
        std::filesystem::create_directories(dir);
        return dir;
    }

private:
    std::string path_;
};

}  // namespace testsupport
