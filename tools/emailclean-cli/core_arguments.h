// From the command line's arguments to the option values the core works on,
// with paths made absolute, as the window's file dialogs give them.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "cli_options.h"
#include "export/export_run.h"
#include "preview/data_preview.h"

namespace cli {

// An argument the core cannot take; what() is a UTF-8 text for the terminal.
// usage() tells a usage error (exit 2) from a text that is not UTF-8 (exit 1).
class ArgumentError : public std::runtime_error {
public:
    ArgumentError(const std::string& message, bool usage) : std::runtime_error(message), usage_(usage) {}
    bool usage() const { return usage_; }

private:
    bool usage_;
};

struct CoreArguments {
    std::string sourcePath;             // absolute
    std::string outputDir;              // absolute; the source file's directory by default
    std::optional<std::string> column;  // as given
    exporting::CleaningOptions cleaning;
    preview::DataPreviewInput dataPreview;  // column filled in once it is known
    std::string settingsPath;           // --settings or the per-user file (named for --export-domain only)
    std::optional<std::string> reportPath;  // --report, absolute
};

// The text as it stands; throws ArgumentError naming the option when it is
// not UTF-8 text.
std::string utf8Text(const std::string& text, const std::string& option);

// The UTF-8 path made absolute against the working directory, "." and ".."
// taken out, no trailing "/" (except for the root itself).
std::string absolutePath(const std::string& utf8Path);

CoreArguments convertArguments(const CliOptions& options);

}  // namespace cli
