// The command line of emailclean-cli: what the user asked for, as the window's
// controls would hold it.  Texts stay exactly as typed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "checks/address_checks.h"

namespace cli {

enum class Action { Count, Preview, Domains, ExportAll, ExportDomain, CheckDomains };

// The data preview option: the radio buttons of the data page.
enum class PreviewKind { All, Invalid, Error, PrefixLength, PrefixList, SuffixList };

// The window's default prefix list.
inline constexpr const char* kDefaultPrefixList =
    "master,root,sales,info,tech,bill,webmaster,admin,adm,abuse,complaint";

struct CliOptions {
    std::string source;          // the source file path
    int delimiterIndex = 0;      // 0 comma, 1 semicolon, 2 tab, 3 blank
    bool header = false;
    int encodingIndex = 0;                 // 0 auto, 1 GBK, 2 UTF-8, 3 UTF-16 (the drop-down's items)
    std::optional<std::string> sheet;      // a workbook's worksheet, name or number; default: the first with data
    std::optional<std::string> column;     // default: the first column
    std::optional<std::string> outputDir;  // default: the source file's directory

    // Exclusion options: present means ticked.
    std::optional<std::string> excludeFile;
    bool excludePrefixLength = false;
    std::string excludePrefixOperator = ">";
    std::string excludePrefixNumber = "9";
    std::optional<std::string> excludePrefixes;
    std::optional<std::string> excludeSuffixes;

    // Splitting: at most one of the two.
    std::optional<std::string> splitRows;
    std::optional<std::string> splitSize;  // the number text, unit taken off
    int splitSizeUnitIndex = 1;            // 0 KB, 1 MB

    Action action = Action::Count;
    PreviewKind preview = PreviewKind::All;
    std::string previewOperator = ">";
    std::string previewLength = "9";
    std::string previewPrefixes = kDefaultPrefixList;
    std::string previewSuffixes;
    int domainsTop = 10;  // 0: all domains
    std::optional<std::string> settings;

    // The opt-in address checks of the exports.
    checks::CheckOptions checks;
    std::optional<std::string> dnsServer;  // HOST:PORT; default: the system's resolvers
    int dnsTimeoutMs = 3000;
    bool checkDns = false;  // --check-domains asks DNS too

    std::optional<std::string> report;  // the exports' summary as JSON into this file
    bool quiet = false;                 // no progress line on a terminal
};

struct ParseResult {
    enum class Kind { Run, Help, UsageError } kind = Kind::UsageError;
    CliOptions options;
    std::string error;  // for UsageError: what was wrong
};

ParseResult parseArguments(const std::vector<std::string>& args);

}  // namespace cli
