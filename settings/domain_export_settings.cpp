#include "settings/domain_export_settings.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

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
    return platform::gbkPath(base + "/emailclean/exportdomainsetup.ini");
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

DomainExportSettings loadDomainExportSettings(const std::string& path) {
    namespace ini = platform::ini;
    DomainExportSettings s;
    s.selected = parseProfileInt(ini::readString(path, kOptionSection, "Selected"), 0);
    s.top = parseProfileInt(ini::readString(path, kTopSection, "Top"), 10);
    s.custom = ini::readSection(path, kCustomSection);
    return s;
}

void saveDomainExportSettings(const std::string& path, const DomainExportSettings& s) {
    namespace ini = platform::ini;
    std::error_code ignored;  // a folder that cannot be made shows as the write failure below
    std::filesystem::create_directories(platform::nativePath(platform::directoryOf(path)), ignored);
    ini::writeString(path, kOptionSection, "Selected", std::to_string(s.selected));
    ini::writeString(path, kTopSection, "Top", std::to_string(s.top));
    ini::eraseSection(path, kCustomSection);
    for (const auto& [name, list] : s.custom) ini::writeString(path, kCustomSection, name, list);
}

}  // namespace settings
