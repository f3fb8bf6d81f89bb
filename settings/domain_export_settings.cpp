#include "settings/domain_export_settings.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"

namespace settings {
namespace {
const std::string kOptionSection = "SetupOption";
const std::string kTopSection = "SetupTop";
const std::string kCustomSection = "SetupCustom";
}  // namespace

std::string defaultSettingsPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    return base + "/emailclean/exportdomainsetup.ini";
}

int parseProfileInt(std::string_view text, int defaultValue) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '-' || text.front() == '+') return defaultValue;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) return defaultValue;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return defaultValue;
    return static_cast<int>(value);
}

namespace {

// The file's texts in UTF-8: a GBK file's (the code page it was written in
// before, and a hand-written one's) are converted.
std::string readText(const std::string& bytes, bool utf8File) {
    return utf8File ? platform::utf8Lossy(bytes) : platform::gbkToUtf8(bytes);
}

bool everyTextInGbk(const DomainExportSettings& s) {
    for (const auto& [name, list] : s.custom)
        if (!platform::utf8ToGbk(name) || !platform::utf8ToGbk(list)) return false;
    return true;
}

}  // namespace

DomainExportSettings loadDomainExportSettings(const std::string& path) {
    namespace ini = platform::ini;
    DomainExportSettings s;
    s.selected = parseProfileInt(ini::readString(path, kOptionSection, "Selected"), 0);
    s.top = parseProfileInt(ini::readString(path, kTopSection, "Top"), 10);
    const bool utf8File = ini::isUtf8File(path);
    for (const auto& [name, list] : ini::readSection(path, kCustomSection))
        s.custom.emplace_back(readText(name, utf8File), readText(list, utf8File));
    return s;
}

void saveDomainExportSettings(const std::string& path, const DomainExportSettings& s) {
    namespace ini = platform::ini;
    std::error_code ignored;  // a folder that cannot be made shows as the write failure below
    std::filesystem::create_directories(platform::directoryOf(path), ignored);
    // The file stays in GBK, as it has always been written, while GBK holds
    // every text; otherwise it becomes UTF-8 with a byte-order mark.
    bool utf8File = ini::isUtf8File(path);
    if (!utf8File && !everyTextInGbk(s)) {
        ini::convertToUtf8(path);
        utf8File = true;
    }
    const auto inFile = [utf8File](const std::string& text) { return utf8File ? text : platform::gbk(text); };
    ini::writeString(path, kOptionSection, "Selected", std::to_string(s.selected));
    ini::writeString(path, kTopSection, "Top", std::to_string(s.top));
    ini::eraseSection(path, kCustomSection);
    for (const auto& [name, list] : s.custom) ini::writeString(path, kCustomSection, inFile(name), inFile(list));
    // GBK text that happens to be valid UTF-8 would read back as UTF-8.
    if (!utf8File && ini::isUtf8File(path)) ini::convertToUtf8(path);
}

}  // namespace settings
