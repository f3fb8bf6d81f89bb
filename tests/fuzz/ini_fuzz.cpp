// The INI service: any bytes read as a file; a key written into them and
// read back as written, the other sections untouched.
//
// Input: FILE \0 SECTION \0 KEY \0 VALUE
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "fuzz_support.h"
#include "platform/ini_file.h"
#include "platform/ini_line.h"

using namespace fuzzsupport;
namespace ini = platform::ini;

namespace {

std::string scratchFile() { return scratchFolder("emailclean-ini-fuzz") + "/a.ini"; }

// The section names of the text, in file order.
std::vector<std::string> sectionNames(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (auto name = ini::parseSectionLine(line)) names.push_back(*name);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    return names;
}

bool sameName(const std::string& a, const std::string& b) {
    // Enough for the check: names that differ only in ASCII letter case are
    // the same section; anything else the service decides is skipped below.
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratchFile();
    const auto p = parts(data, size, 4);
    const std::string file(p[0]);
    const std::string section(p[1]), key(p[2]), value(p[3]);

    // Reading any bytes: every section reads without failing.
    const auto names = sectionNames(file);
    std::vector<std::vector<std::pair<std::string, std::string>>> before;
    for (const auto& name : names) before.push_back(ini::readSectionOfText(file, name));

    { std::ofstream(path, std::ios::binary | std::ios::trunc) << file; }
    ini::writeString(path, section, key, value);
    check(ini::readString(path, section, key, "\x01missing") == value, "the value written does not read back");
    check(ini::sectionExists(path, section), "the section written is not there");
    std::ifstream in(path, std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // Other sections read as before (only the first of several of one name is read).
    for (std::size_t i = 0; i < names.size(); ++i) {
        bool later = false;
        for (std::size_t j = 0; j < i; ++j) later = later || sameName(names[j], names[i]);
        if (later || sameName(names[i], section)) continue;
        check(ini::readSectionOfText(after, names[i]) == before[i], "section [" + names[i] + "] changed");
    }
    // A second key into the same section; both read back.
    ini::writeString(path, section, key + "2", value + "2");
    check(ini::readString(path, section, key, "\x01missing") == value || sameName(key, key + "2"),
          "the first value is lost after a second write");
    check(ini::readString(path, section, key + "2", "\x01missing") == value + "2", "the second value does not read back");
    ini::eraseSection(path, section);
    return 0;
}
