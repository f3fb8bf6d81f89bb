// The domain export settings file "exportdomainsetup.ini": how the domain
// export forms its groups (the N most frequent domains, or the user's groups).
// The setup dialog writes it; the domain export reads it afresh at each run.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace settings {

struct DomainExportSettings {
    int selected = 0;  // 0: top-N mode, 1 (or any other value): custom mode
    int top = 10;      // N of the top-N mode
    // Groups of the custom mode in file order: name, comma list of domains.
    std::vector<std::pair<std::string, std::string>> custom;
};

// $XDG_CONFIG_HOME/emailclean/exportdomainsetup.ini, $XDG_CONFIG_HOME
// defaulting to ~/.config.
std::string defaultSettingsPath();

// Reads the file (GBK, or UTF-8 when it says so or is valid UTF-8); a missing
// file, section or key, or a text that is not an integer, gives the defaults.
DomainExportSettings loadDomainExportSettings(const std::string& path);

// Writes Selected and Top, erases SetupCustom and writes the rows in order;
// creates the folder when needed.  The file is written in GBK while GBK holds
// every text, else in UTF-8 with a byte-order mark.  Throws
// platform::IniWriteError ("Unable to write to PATH") when the file cannot be
// written.
void saveDomainExportSettings(const std::string& path, const DomainExportSettings& settings);

// A whole-text integer: decimal, or hexadecimal after "0x"; anything else
// (empty, trailing characters, out of range) gives defaultValue.
int parseProfileInt(std::string_view text, int defaultValue);

}  // namespace settings
