#include "platform/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/code_page.h"

namespace platform {

std::string nativePath(std::string_view gbkPathText) {
    auto converted = gbkToUtf8Strict(gbkPathText);
    if (!converted) throw FileError("The path \"" + gbkToUtf8(gbkPathText) + "\" is not valid GBK text");
    return *converted;
}

std::string gbkPath(std::string_view nativeName) {
    auto converted = utf8ToGbk(nativeName);
    if (!converted) {
        // The message itself is GBK; the unrepresentable name is shown with
        // its characters replaced so that the text stays readable.
        throw FileError(gbk("文件名含有GBK编码无法表示的字符: ") + utf8ToGbkLossy(nativeName));
    }
    return *converted;
}

bool fileExists(std::string_view path) {
    struct stat st {};
    return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(std::string_view path) {
    struct stat st {};
    return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(std::string_view path) { return ::unlink(nativePath(path).c_str()) == 0; }

bool renameFile(std::string_view from, std::string_view to) {
    return ::rename(nativePath(from).c_str(), nativePath(to).c_str()) == 0;
}

std::int64_t fileSize(std::string_view path) {
    struct stat st {};
    if (::stat(nativePath(path).c_str(), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::string directoryOf(std::string_view path) {
    // "/" is below 0x40 and so never the trail byte of a GBK character.
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string fileNameOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string systemErrorText(int errorNumber) {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not live in buffer.
    return ::strerror_r(errorNumber, buffer, sizeof buffer);
}

}  // namespace platform
