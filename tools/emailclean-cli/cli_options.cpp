#include "cli_options.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>

#include "source/workbook_copy.h"

namespace cli {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The prefix length as the window's field takes it: ">" or "<" from the drop-down
// list, then at most two digits (the field's limit and digit filter).  An empty
// number is let through: the window's input check answers it.
bool parsePrefixLength(std::string_view text, std::string& op, std::string& number, std::string& error,
                       std::string_view what) {
    std::string_view rest = text;
    op = ">";
    if (!rest.empty() && (rest[0] == '>' || rest[0] == '<')) {
        op = std::string(1, rest[0]);
        rest.remove_prefix(1);
    }
    if (!allDigits(rest) || rest.size() > 2) {
        error = std::string(what) + " takes \">N\" or \"<N\" with N of one or two digits, not \"" +
                std::string(text) + "\"";
        return false;
    }
    number = std::string(rest);
    return true;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    ParseResult run() {
        ParseResult result;
        for (pos_ = 0; pos_ < args_.size(); ++pos_) {
            std::string arg = args_[pos_];
            std::optional<std::string> inlineValue;
            if (startsWith(arg, "--")) {
                if (const auto eq = arg.find('='); eq != std::string::npos) {
                    inlineValue = arg.substr(eq + 1);
                    arg = arg.substr(0, eq);
                }
            }
            if (arg == "--help" || arg == "-h") {
                result.kind = ParseResult::Kind::Help;
                return result;
            }
            if (!option(arg, inlineValue, result.options)) return fail(result);
        }
        if (!sawSource_) {
            error_ = "--source FILE is required";
            return fail(result);
        }
        if (!sawAction_) {
            error_ = "an ACTION is required: --count, --preview, --domains, --export-all, --export-domain or "
                     "--check-domains";
            return fail(result);
        }
        CliOptions& o = result.options;
        if (o.excludeFile && (o.excludePrefixLength || o.excludePrefixes || o.excludeSuffixes)) {
            error_ =
                "--exclude-file cannot be combined with --exclude-prefix-length, --exclude-prefixes or "
                "--exclude-suffixes: excluding by a file of addresses rules out the other exclusion options";
            return fail(result);
        }
        if (o.sheet && !source::isWorkbookFile(o.source)) {
            error_ = "--sheet belongs to a workbook source (.xlsx or .xls), not \"" + o.source + "\"";
            return fail(result);
        }
        if (o.splitRows && o.splitSize) {
            error_ = "--split-rows and --split-size exclude each other: give one of them";
            return fail(result);
        }
        if (o.settings && o.action != Action::ExportDomain) {
            error_ = "--settings belongs to --export-domain";
            return fail(result);
        }
        if (o.report && o.action != Action::ExportAll && o.action != Action::ExportDomain) {
            error_ = "--report belongs to --export-all and --export-domain";
            return fail(result);
        }
        const bool anyCheck = o.checks.any();
        const bool exporting = o.action == Action::ExportAll || o.action == Action::ExportDomain;
        if (anyCheck && !exporting) {
            error_ = "the address checks belong to --export-all and --export-domain";
            return fail(result);
        }
        if (sawDnsOption_ && !exporting && o.action != Action::CheckDomains) {
            error_ = "--dns-server and --dns-timeout belong to the exports and --check-domains";
            return fail(result);
        }
        if (o.checkDns && o.action != Action::CheckDomains) {
            error_ = "--check-dns belongs to --check-domains";
            return fail(result);
        }
        result.kind = ParseResult::Kind::Run;
        return result;
    }

private:
    ParseResult& fail(ParseResult& result) {
        result.kind = ParseResult::Kind::UsageError;
        result.error = error_;
        return result;
    }

    // The value of an option that requires one: "--opt VALUE" or "--opt=VALUE".
    bool required(const std::string& name, const std::optional<std::string>& inlineValue, std::string& value) {
        if (inlineValue) {
            value = *inlineValue;
            return true;
        }
        if (pos_ + 1 >= args_.size()) {
            error_ = name + " needs a value";
            return false;
        }
        value = args_[++pos_];
        return true;
    }

    // A value that may not be empty: "NAME needs WHAT" otherwise.
    bool requiredNonEmpty(const std::string& name, const std::optional<std::string>& inlineValue, std::string& value,
                          const char* what) {
        if (!required(name, inlineValue, value)) return false;
        if (!value.empty()) return true;
        error_ = name + " needs " + what;
        return false;
    }

    // The value of an action with an optional argument: the next argument
    // unless it is another option.
    std::optional<std::string> optional(const std::optional<std::string>& inlineValue) {
        if (inlineValue) return inlineValue;
        if (pos_ + 1 < args_.size() && !startsWith(args_[pos_ + 1], "-")) return args_[++pos_];
        return std::nullopt;
    }

    bool setAction(const std::string& name, Action action, CliOptions& o) {
        if (sawAction_) {
            error_ = "only one ACTION may be given (" + actionName_ + " and " + name + ")";
            return false;
        }
        sawAction_ = true;
        actionName_ = name;
        o.action = action;
        return true;
    }

    bool previewArgument(const std::string& text, CliOptions& o) {
        const auto colon = text.find(':');
        const std::string kind = text.substr(0, colon);
        const bool hasValue = colon != std::string::npos;
        const std::string value = hasValue ? text.substr(colon + 1) : std::string();
        if ((kind == "all" || kind == "invalid" || kind == "error") && hasValue) {
            error_ = "--preview " + kind + " takes no value";
            return false;
        }
        if (kind == "all") {
            o.preview = PreviewKind::All;
        } else if (kind == "invalid") {
            o.preview = PreviewKind::Invalid;
        } else if (kind == "error") {
            o.preview = PreviewKind::Error;
        } else if (kind == "prefix-length") {
            o.preview = PreviewKind::PrefixLength;
            if (hasValue &&
                !parsePrefixLength(value, o.previewOperator, o.previewLength, error_, "--preview prefix-length"))
                return false;
        } else if (kind == "prefixes") {
            o.preview = PreviewKind::PrefixList;
            if (hasValue) o.previewPrefixes = value;
        } else if (kind == "suffixes") {
            o.preview = PreviewKind::SuffixList;
            if (hasValue) o.previewSuffixes = value;
        } else {
            error_ = "unknown --preview option \"" + text +
                     "\" (all, invalid, error, prefix-length:>N, prefix-length:<N, prefixes:LIST, suffixes:LIST)";
            return false;
        }
        return true;
    }

    bool option(const std::string& arg, const std::optional<std::string>& inlineValue, CliOptions& o) {
        std::string value;
        if (arg == "--source") {
            if (!required(arg, inlineValue, value)) return false;
            if (value.empty()) {
                error_ = "--source needs a file name";
                return false;
            }
            o.source = value;
            sawSource_ = true;
        } else if (arg == "--delimiter") {
            if (!required(arg, inlineValue, value)) return false;
            static const std::map<std::string, int> items{{"comma", 0}, {"semicolon", 1}, {"tab", 2}, {"space", 3}};
            const auto it = items.find(value);
            if (it == items.end()) {
                error_ = "--delimiter takes comma, semicolon, tab or space, not \"" + value + "\"";
                return false;
            }
            o.delimiterIndex = it->second;
        } else if (arg == "--encoding") {
            if (!required(arg, inlineValue, value)) return false;
            static const std::map<std::string, int> items{{"auto", 0}, {"gbk", 1}, {"utf-8", 2}, {"utf-16", 3}};
            std::string word = value;
            for (auto& c : word)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            const auto it = items.find(word);
            if (it == items.end()) {
                error_ = "--encoding takes auto, gbk, utf-8 or utf-16, not \"" + value + "\"";
                return false;
            }
            o.encodingIndex = it->second;
        } else if (arg == "--sheet") {
            if (!required(arg, inlineValue, value)) return false;
            if (value.empty()) {
                error_ = "--sheet needs a worksheet's name or number";
                return false;
            }
            o.sheet = value;
        } else if (arg == "--header") {
            if (inlineValue) return noValue(arg);
            o.header = true;
        } else if (arg == "--column") {
            if (!required(arg, inlineValue, value)) return false;
            o.column = value;
        } else if (arg == "--output-dir") {
            if (!requiredNonEmpty(arg, inlineValue, value, "a directory")) return false;
            o.outputDir = value;
        } else if (arg == "--exclude-file") {
            if (!required(arg, inlineValue, value)) return false;
            o.excludeFile = value;
        } else if (arg == "--exclude-prefix-length") {
            if (!required(arg, inlineValue, value)) return false;
            if (!parsePrefixLength(value, o.excludePrefixOperator, o.excludePrefixNumber, error_, arg)) return false;
            o.excludePrefixLength = true;
        } else if (arg == "--exclude-prefixes") {
            if (!required(arg, inlineValue, value)) return false;
            o.excludePrefixes = value;
        } else if (arg == "--exclude-suffixes") {
            if (!required(arg, inlineValue, value)) return false;
            o.excludeSuffixes = value;
        } else if (arg == "--split-rows") {
            if (!required(arg, inlineValue, value)) return false;
            o.splitRows = value;
        } else if (arg == "--split-size") {
            if (!required(arg, inlineValue, value)) return false;
            splitSize(value, o);
        } else if (arg == "--count") {
            if (inlineValue) return noValue(arg);
            return setAction(arg, Action::Count, o);
        } else if (arg == "--preview") {
            if (!setAction(arg, Action::Preview, o)) return false;
            if (const auto v = optional(inlineValue)) return previewArgument(*v, o);
        } else if (arg == "--domains") {
            if (!setAction(arg, Action::Domains, o)) return false;
            if (const auto v = optional(inlineValue)) {
                static const std::map<std::string, int> tops{{"10", 10}, {"15", 15}, {"20", 20},
                                                             {"30", 30}, {"50", 50}, {"all", 0}};
                const auto it = tops.find(*v);
                if (it == tops.end()) {
                    error_ = "--domains takes 10, 15, 20, 30, 50 or all, not \"" + *v + "\"";
                    return false;
                }
                o.domainsTop = it->second;
            }
        } else if (arg == "--export-all") {
            if (inlineValue) return noValue(arg);
            return setAction(arg, Action::ExportAll, o);
        } else if (arg == "--export-domain") {
            if (inlineValue) return noValue(arg);
            return setAction(arg, Action::ExportDomain, o);
        } else if (arg == "--check-domains") {
            if (inlineValue) return noValue(arg);
            return setAction(arg, Action::CheckDomains, o);
        } else if (arg == "--check-dns") {
            if (inlineValue) return noValue(arg);
            o.checkDns = true;
        } else if (arg == "--settings") {
            if (!requiredNonEmpty(arg, inlineValue, value, "a file name")) return false;
            o.settings = value;
        } else if (arg == "--report") {
            if (!requiredNonEmpty(arg, inlineValue, value, "a file name")) return false;
            o.report = value;
        } else if (const auto flag = checkFlag(arg, o)) {
            if (inlineValue) return noValue(arg);
            *flag = true;
        } else if (arg == "--dns-server") {
            if (!requiredNonEmpty(arg, inlineValue, value, "HOST:PORT")) return false;
            o.dnsServer = value;
            sawDnsOption_ = true;
        } else if (arg == "--dns-timeout") {
            if (!required(arg, inlineValue, value)) return false;
            if (value.empty() || value.size() > 6 || !allDigits(value) || std::stoi(value) == 0) {
                error_ = "--dns-timeout takes a number of milliseconds from 1 to 999999, not \"" + value + "\"";
                return false;
            }
            o.dnsTimeoutMs = std::stoi(value);
            sawDnsOption_ = true;
        } else if (arg == "--quiet" || arg == "-q") {
            if (inlineValue) return noValue(arg);
            o.quiet = true;
        } else {
            error_ = startsWith(arg, "-") ? "unknown option " + arg : "unexpected argument \"" + arg + "\"";
            return false;
        }
        return true;
    }

    // The switch of an address check, or nullptr.
    static bool* checkFlag(const std::string& arg, CliOptions& o) {
        if (arg == "--strict-syntax") return &o.checks.strictSyntax;
        if (arg == "--fix-domain-typos") return &o.checks.fixDomainTypos;
        if (arg == "--merge-gmail-aliases") return &o.checks.mergeGmailAliases;
        if (arg == "--drop-disposable") return &o.checks.dropDisposable;
        if (arg == "--drop-role") return &o.checks.dropRole;
        if (arg == "--drop-no-mail-domain") return &o.checks.dropNoMailDomain;
        return nullptr;
    }

    bool noValue(const std::string& name) {
        error_ = name + " takes no value";
        return false;
    }

    // "N", "NKB" or "NMB": the unit is the window's drop-down list (MB by
    // default); the number text goes to the window's checks and conversion
    // as it is.
    static void splitSize(const std::string& value, CliOptions& o) {
        std::string number = value;
        o.splitSizeUnitIndex = 1;
        if (number.size() >= 2) {
            std::string unit = number.substr(number.size() - 2);
            for (auto& c : unit) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (unit == "KB" || unit == "MB") {
                o.splitSizeUnitIndex = unit == "KB" ? 0 : 1;
                number.resize(number.size() - 2);
            }
        }
        o.splitSize = number;
    }

    const std::vector<std::string>& args_;
    std::size_t pos_ = 0;
    bool sawSource_ = false;
    bool sawAction_ = false;
    bool sawDnsOption_ = false;
    std::string actionName_;
    std::string error_;
};

}  // namespace

ParseResult parseArguments(const std::vector<std::string>& args) { return Parser(args).run(); }

}  // namespace cli
