#include "source/source_binding.h"

#include <tuple>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "source/base_name.h"
#include "source/schema_marker.h"

namespace source {

namespace {

const char* const kHeaderKey = "ColNameHeader";
const char* const kFormatKey = "Format";
const char* const kCharacterSetKey = "CharacterSet";
bool sameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
        if (x != y) return false;
    }
    return true;
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

namespace {

// Directory (a file in the root directory gives "/") and name of a full path.
std::pair<std::string, std::string> splitPath(const std::string& fullPath) {
    const auto slash = fullPath.rfind('/');
    if (slash == std::string::npos) return {std::string(), fullPath};
    return {slash == 0 ? std::string("/") : fullPath.substr(0, slash), fullPath.substr(slash + 1)};
}

}  // namespace

void SourceBinding::bind(const std::string& fullPath) {
    std::tie(sourceDir_, sourceFile_) = splitPath(fullPath);
    tableDir_ = sourceDir_;
    tableFile_ = sourceFile_;
    isCopy_ = false;
    noteSchemaBefore();
}

void SourceBinding::bindCopy(const std::string& fullPath, const std::string& copyPath) {
    std::tie(sourceDir_, sourceFile_) = splitPath(fullPath);
    std::tie(tableDir_, tableFile_) = splitPath(copyPath);
    isCopy_ = true;
    noteSchemaBefore();
}

void SourceBinding::noteSchemaBefore() {
    written_ = false;
    writtenKeys_.clear();
    fileExistedBefore_ = false;
    sectionExistedBefore_ = false;
    sectionBefore_.clear();
    const auto gbkName = platform::utf8ToGbk(tableFile_);
    sectionName_ = gbkName ? *gbkName : tableFile_;
    if (!isBound()) return;
    const std::string path = schemaPath();
    // Sections a killed run left behind are not the user's.
    removeLeftoverSections(path);
    fileExistedBefore_ = platform::fileExists(path);
    if (!fileExistedBefore_) return;
    // A user's section for the file, under either form of its name.
    for (const std::string& name : {sectionName_, tableFile_}) {
        if (platform::ini::sectionExists(path, name)) {
            sectionName_ = name;
            sectionExistedBefore_ = true;
            sectionBefore_ = platform::ini::readSection(path, name);
            break;
        }
    }
}

std::string SourceBinding::baseName() const {
    return isCopy_ ? WorkbookBaseName(sourceFile_) : BaseName(sourceFile_);
}

std::string SourceBinding::schemaPath() const { return platform::joinPath(tableDir_, "Schema.ini"); }

void SourceBinding::writeKey(const char* key, const std::string& value) {
    // A section the tool creates carries its mark (in the same write).
    const std::string mark = sectionExistedBefore_ ? std::string() : ownSectionComment(!fileExistedBefore_);
    platform::ini::writeString(schemaPath(), sectionName_, key, value, mark);
    written_ = true;
    for (const std::string& k : writtenKeys_)
        if (sameKey(k, key)) return;
    writtenKeys_.emplace_back(key);
}

std::optional<std::string> SourceBinding::valueBefore(const std::string& key) const {
    for (const auto& [k, v] : sectionBefore_)
        if (sameKey(k, key)) return v;
    return std::nullopt;
}

std::string SourceBinding::WriteSchemaHeader(bool header) {
    writeKey(kHeaderKey, header ? "True" : "False");
    return headerWordFor(header);
}

std::string SourceBinding::WriteSchemaFormat(int delimiterIndex) {
    const std::string word = formatWordFor(delimiterIndex);
    writeKey(kFormatKey, word);
    return word;
}

void SourceBinding::WriteSchemaCharacterSet(TextEncoding encoding) {
    const std::string value = characterSetValue(encoding);
    if (!value.empty()) {
        writeKey(kCharacterSetKey, value);
        return;
    }
    // A key or a mark that says another encoding must not stand for a GBK list.
    if (startsWithByteOrderMark(platform::joinPath(tableDir_, tableFile_))) return writeKey(kCharacterSetKey, "936");
    for (const auto& [key, _] : platform::ini::readSection(schemaPath(), sectionName_))
        if (sameKey(key, kCharacterSetKey)) return writeKey(kCharacterSetKey, "936");
}

void SourceBinding::deleteSchema() {
    if (!isBound()) return;
    const std::string path = schemaPath();
    try {
        if (!fileExistedBefore_) {
            // The tool's file; a section another run added meanwhile stays.
            platform::ini::eraseSection(path, sectionName_);
            if (!platform::ini::hasContent(path)) platform::removeFile(path);
        } else if (written_ && !sectionExistedBefore_) {
            platform::ini::eraseSection(path, sectionName_);
        } else if (written_) {
            bool added = false;
            for (const std::string& key : writtenKeys_) added = added || !valueBefore(key);
            if (!added) {
                // Every key the tool wrote was the user's: its value goes back in place.
                for (const std::string& key : writtenKeys_)
                    platform::ini::writeString(path, sectionName_, key, *valueBefore(key));
            } else {
                // The user's section lacked a key the tool added: put the
                // section back as it was, entry by entry.
                platform::ini::eraseSection(path, sectionName_);
                for (const auto& [key, value] : sectionBefore_)
                    platform::ini::writeString(path, sectionName_, key, value);
            }
        }
    } catch (const std::exception&) {
        // The outcome of the deletion is not examined.
    }
    written_ = false;
    writtenKeys_.clear();
}

}  // namespace source
