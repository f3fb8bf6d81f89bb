#include "report_file.h"

#include <cstdio>

#include "platform/code_page.h"
#include "platform/staged_file.h"

namespace cli {

namespace {

std::string jsonString(const std::string& utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string reportJson(const exporting::ExportSummary& s) {
    std::string json = "{\"read\": " + std::to_string(s.read) + ", \"invalid\": " + std::to_string(s.invalid) +
                       ", \"erroneous\": " + std::to_string(s.erroneous) +
                       ", \"bad_syntax\": " + std::to_string(s.badSyntax) +
                       ", \"corrected\": " + std::to_string(s.corrected) +
                       ", \"duplicates\": " + std::to_string(s.duplicates()) +
                       ", \"disposable\": " + std::to_string(s.disposable) +
                       ", \"role\": " + std::to_string(s.role) +
                       ", \"no_mail_domain\": " + std::to_string(s.noMailDomain) +
                       ", \"dns_unchecked\": " + std::to_string(s.dnsUnchecked) +
                       ", \"excluded\": " + std::to_string(s.excluded) +
                       ", \"exported\": " + std::to_string(s.exported) + ", \"files\": [";
    for (std::size_t i = 0; i < s.files.size(); ++i) {
        if (i > 0) json += ", ";
        json += "{\"name\": " + jsonString(s.files[i].name) +
                ", \"rows\": " + std::to_string(s.files[i].rows) + "}";
    }
    return json + "]}";
}

void writeReport(const std::string& path, const exporting::ExportSummary& summary) {
    platform::StagedFile file(path);
    file.append(reportJson(summary) + "\n");
    file.commit();
}

}  // namespace cli
