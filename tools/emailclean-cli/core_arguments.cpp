#include "core_arguments.h"

#include <filesystem>
#include <system_error>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "settings/domain_export_settings.h"

namespace cli {

namespace fs = std::filesystem;

std::string utf8Text(const std::string& text, const std::string& option) {
    if (!platform::isValidUtf8(text))
        throw ArgumentError(option + ": \"" + platform::utf8Lossy(text) + "\" is not UTF-8 text", false);
    return text;
}

std::string absolutePath(const std::string& utf8Path) {
    std::error_code ec;
    fs::path path = fs::absolute(fs::path(utf8Path), ec);
    if (ec) path = fs::path(utf8Path);
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

namespace {

// The window keeps only the name of the chosen exclusion file and reads it
// from the source file's directory; a path is accepted only when it points
// there, so that no other file is read than the one named.
std::string exclusionFileName(const std::string& utf8, const std::string& sourceDirUtf8) {
    if (utf8.find('/') == std::string::npos) return utf8;
    const std::string full = absolutePath(utf8);
    const fs::path dir = fs::path(full).parent_path();
    std::error_code ec;
    const bool same = dir == fs::path(sourceDirUtf8) || fs::equivalent(dir, fs::path(sourceDirUtf8), ec);
    if (!same) {
        throw ArgumentError("--exclude-file: the exclusion file is read from the source file's directory (" +
                                sourceDirUtf8 + "); \"" + utf8 + "\" lies elsewhere",
                            true);
    }
    return fs::path(full).filename().string();
}

}  // namespace

CoreArguments convertArguments(const CliOptions& o) {
    CoreArguments a;
    const std::string source = absolutePath(o.source);
    const std::string sourceDir = fs::path(source).parent_path().string();
    a.sourcePath = source;
    a.outputDir = o.outputDir ? absolutePath(*o.outputDir) : sourceDir;
    if (o.column) a.column = utf8Text(*o.column, "--column");

    exporting::CleaningOptions& c = a.cleaning;
    if (o.excludeFile) {
        c.excludeFile = true;
        c.excludeFileName = exclusionFileName(*o.excludeFile, sourceDir);
    }
    c.prefixLength = o.excludePrefixLength;
    c.prefixLengthOperator = o.excludePrefixOperator;
    c.prefixLengthNumber = o.excludePrefixNumber;
    if (o.excludePrefixes) {
        c.prefixList = true;
        c.prefixListText = utf8Text(*o.excludePrefixes, "--exclude-prefixes");
    }
    if (o.excludeSuffixes) {
        c.suffixList = true;
        c.suffixListText = utf8Text(*o.excludeSuffixes, "--exclude-suffixes");
    }
    if (o.splitRows) {
        c.split = true;
        c.splitByRows = true;
        c.splitRows = utf8Text(*o.splitRows, "--split-rows");
    } else if (o.splitSize) {
        c.split = true;
        c.splitByRows = false;
        c.splitSize = utf8Text(*o.splitSize, "--split-size");
        c.splitSizeUnitIndex = o.splitSizeUnitIndex;
    }

    c.checks.options = o.checks;
    if (o.dnsServer) c.checks.dns.servers = utf8Text(*o.dnsServer, "--dns-server");
    c.checks.dns.timeoutMs = o.dnsTimeoutMs;

    preview::DataPreviewInput& p = a.dataPreview;
    switch (o.preview) {
        case PreviewKind::All: p.option = preview::DataOption::All; break;
        case PreviewKind::Invalid: p.option = preview::DataOption::Invalid; break;
        case PreviewKind::Error: p.option = preview::DataOption::Error; break;
        case PreviewKind::PrefixLength: p.option = preview::DataOption::PrefixLength; break;
        case PreviewKind::PrefixList: p.option = preview::DataOption::PrefixList; break;
        case PreviewKind::SuffixList: p.option = preview::DataOption::SuffixList; break;
    }
    p.comparison = o.previewOperator;
    p.length = o.previewLength;
    p.prefixList = utf8Text(o.previewPrefixes, "--preview prefixes");
    p.suffixList = utf8Text(o.previewSuffixes, "--preview suffixes");

    if (o.settings) a.settingsPath = absolutePath(*o.settings);
    else if (o.action == Action::ExportDomain) a.settingsPath = settings::defaultSettingsPath();
    if (o.report) a.reportPath = absolutePath(*o.report);
    return a;
}

}  // namespace cli
