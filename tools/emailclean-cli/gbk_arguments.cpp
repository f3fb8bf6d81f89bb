#include "gbk_arguments.h"

#include <filesystem>
#include <system_error>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "settings/domain_export_settings.h"

namespace cli {

namespace fs = std::filesystem;

std::string toGbk(const std::string& utf8, const std::string& option) {
    auto gbk = platform::utf8ToGbk(utf8);
    if (!gbk) {
        throw ArgumentError(option + ": \"" + utf8 +
                                "\" is not UTF-8 text or holds a character that the GBK code page "
                                "cannot represent (the tool's files and texts are GBK)",
                            false);
    }
    return *gbk;
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

// The per-user settings file, named only when the domain export needs it: a
// folder name that GBK cannot hold fails that run, not the program.
std::string defaultSettingsPath() {
    try {
        return settings::defaultSettingsPath();
    } catch (const platform::FileError&) {
        throw ArgumentError(
            "the domain export settings folder ($XDG_CONFIG_HOME/emailclean, by default ~/.config/emailclean) "
            "holds a character that the GBK code page cannot represent; name the settings file with --settings INI",
            false);
    }
}

}  // namespace

GbkArguments convertArguments(const CliOptions& o) {
    GbkArguments a;
    const std::string source = absolutePath(o.source);
    const std::string sourceDir = fs::path(source).parent_path().string();
    a.sourcePath = toGbk(source, "--source");
    a.outputDir = toGbk(o.outputDir ? absolutePath(*o.outputDir) : sourceDir, "--output-dir");
    if (o.column) a.column = toGbk(*o.column, "--column");

    exporting::CleaningOptions& c = a.cleaning;
    if (o.excludeFile) {
        c.excludeFile = true;
        c.excludeFileName = toGbk(exclusionFileName(*o.excludeFile, sourceDir), "--exclude-file");
    }
    c.prefixLength = o.excludePrefixLength;
    c.prefixLengthOperator = o.excludePrefixOperator;
    c.prefixLengthNumber = o.excludePrefixNumber;
    if (o.excludePrefixes) {
        c.prefixList = true;
        c.prefixListText = toGbk(*o.excludePrefixes, "--exclude-prefixes");
    }
    if (o.excludeSuffixes) {
        c.suffixList = true;
        c.suffixListText = toGbk(*o.excludeSuffixes, "--exclude-suffixes");
    }
    if (o.splitRows) {
        c.split = true;
        c.splitByRows = true;
        c.splitRows = toGbk(*o.splitRows, "--split-rows");
    } else if (o.splitSize) {
        c.split = true;
        c.splitByRows = false;
        c.splitSize = toGbk(*o.splitSize, "--split-size");
        c.splitSizeUnitIndex = o.splitSizeUnitIndex;
    }

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
    p.prefixList = toGbk(o.previewPrefixes, "--preview prefixes");
    p.suffixList = toGbk(o.previewSuffixes, "--preview suffixes");

    if (o.settings) a.settingsPath = toGbk(absolutePath(*o.settings), "--settings");
    else if (o.action == Action::ExportDomain) a.settingsPath = defaultSettingsPath();
    return a;
}

}  // namespace cli
