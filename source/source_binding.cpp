#include "source/source_binding.h"

#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "source/base_name.h"

namespace source {

namespace {

const char* const kHeaderKey = "ColNameHeader";
const char* const kFormatKey = "Format";

std::optional<std::string> valueIn(const std::vector<std::pair<std::string, std::string>>& entries,
                                   const std::string& key) {
    for (const auto& [k, v] : entries) {
        if (k.size() != key.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < k.size() && same; ++i) {
            auto a = static_cast<unsigned char>(k[i]), b = static_cast<unsigned char>(key[i]);
            if (a >= 'A' && a <= 'Z') a = a - 'A' + 'a';
            if (b >= 'A' && b <= 'Z') b = b - 'A' + 'a';
            same = a == b;
        }
        if (same) return v;
    }
    return std::nullopt;
}

}  // namespace

std::string formatWordFor(int delimiterIndex) {
    switch (delimiterIndex) {
        case 0: return "CSVDelimited";
        case 1: return "Delimited(;)";
        case 2: return "TabDelimited";
        case 3: return "Delimited( )";
        default: return "";
    }
}

std::string headerWordFor(bool header) { return header ? "Yes" : "No"; }

void SourceBinding::bind(const std::string& gbkFullPath) {
    // A "/" byte is never the trail byte of a GBK character, so a plain byte
    // search finds the real separators.
    const auto slash = gbkFullPath.rfind('/');
    if (slash == std::string::npos) {
        sourceDir_.clear();
        sourceFile_ = gbkFullPath;
    } else {
        sourceDir_ = slash == 0 ? std::string("/") : gbkFullPath.substr(0, slash);
        sourceFile_ = gbkFullPath.substr(slash + 1);
    }

    written_ = false;
    fileExistedBefore_ = false;
    sectionExistedBefore_ = false;
    headerBefore_.reset();
    formatBefore_.reset();
    if (!isBound()) return;
    const std::string path = schemaPath();
    fileExistedBefore_ = platform::fileExists(path);
    if (fileExistedBefore_ && platform::ini::sectionExists(path, sourceFile_)) {
        sectionExistedBefore_ = true;
        const auto entries = platform::ini::readSection(path, sourceFile_);
        headerBefore_ = valueIn(entries, kHeaderKey);
        formatBefore_ = valueIn(entries, kFormatKey);
    }
}

std::string SourceBinding::baseName() const { return BaseName(sourceFile_); }

std::string SourceBinding::schemaPath() const { return platform::joinPath(sourceDir_, "Schema.ini"); }

std::string SourceBinding::WriteSchemaHeader(bool header) {
    platform::ini::writeString(schemaPath(), sourceFile_, kHeaderKey, header ? "True" : "False");
    written_ = true;
    return headerWordFor(header);
}

std::string SourceBinding::WriteSchemaFormat(int delimiterIndex) {
    const std::string word = formatWordFor(delimiterIndex);
    platform::ini::writeString(schemaPath(), sourceFile_, kFormatKey, word);
    written_ = true;
    return word;
}

void SourceBinding::deleteSchema() {
    if (!isBound()) return;
    const std::string path = schemaPath();
    try {
        if (!fileExistedBefore_) {
            platform::removeFile(path);
        } else if (written_) {
            if (!sectionExistedBefore_) {
                platform::ini::eraseSection(path, sourceFile_);
            } else if (headerBefore_ && formatBefore_) {
                platform::ini::writeString(path, sourceFile_, kHeaderKey, *headerBefore_);
                platform::ini::writeString(path, sourceFile_, kFormatKey, *formatBefore_);
            } else {
                // The user's section lacked a key the tool added: put the
                // section back as it was, entry by entry.
                auto before = platform::ini::readSection(path, sourceFile_);
                platform::ini::eraseSection(path, sourceFile_);
                for (const auto& [key, value] : before) {
                    const bool isHeader = valueIn({{key, value}}, kHeaderKey).has_value();
                    const bool isFormat = valueIn({{key, value}}, kFormatKey).has_value();
                    if (isHeader && headerBefore_) platform::ini::writeString(path, sourceFile_, key, *headerBefore_);
                    else if (isFormat && formatBefore_) platform::ini::writeString(path, sourceFile_, key, *formatBefore_);
                    else if (!isHeader && !isFormat) platform::ini::writeString(path, sourceFile_, key, value);
                }
            }
        }
    } catch (const std::exception&) {
        // The outcome of the deletion is not examined.
    }
    written_ = false;
}

}  // namespace source
