// File helpers over paths written in GBK, the code page of every text the tool
// composes; they convert to the file system's UTF-8 names at this edge.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// A path that cannot be named on the file system, or an I/O failure; what()
// is a text fit to show a person.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// GBK path to the file system's (UTF-8) name; throws FileError when the bytes
// are not GBK.
std::string nativePath(std::string_view gbkPath);

// UTF-8 file system name to GBK; throws FileError naming the path when GBK
// cannot hold one of its characters.
std::string gbkPath(std::string_view nativeName);

bool fileExists(std::string_view gbkPath);
bool directoryExists(std::string_view gbkPath);
// Returns false when the file could not be removed (or did not exist).
bool removeFile(std::string_view gbkPath);
// Replaces an existing target; returns false on failure.
bool renameFile(std::string_view fromGbk, std::string_view toGbk);
// Size in bytes, or -1 when the file cannot be examined.
std::int64_t fileSize(std::string_view gbkPath);

// Directory and file name parts of a path, split at the last "/"; a file in
// the root directory gives the directory "/".
std::string directoryOf(std::string_view path);
std::string fileNameOf(std::string_view path);
// dir + "/" + name, without doubling a separator that dir already ends with.
std::string joinPath(std::string_view dir, std::string_view name);

// The text of errno as the system describes it, e.g. "No space left on device".
std::string systemErrorText(int errorNumber);

}  // namespace platform
