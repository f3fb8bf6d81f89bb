#include "source/schema_marker.h"

#include <exception>

#include "platform/file_system.h"
#include "platform/ini_file.h"

namespace source {
namespace {

// " emailclean (host H, boot B, process P, start S[, new file])": ASCII, the
// same bytes in a GBK and in a UTF-8 description file.
std::string prefix() { return " emailclean ("; }
const std::string kCreatedFile = ", new file";

}  // namespace

std::string ownSectionComment(bool createdFile) {
    return prefix() + platform::currentProcessMark().text() + (createdFile ? kCreatedFile : "") + ")";
}

std::optional<OwnSection> parseOwnSectionComment(std::string_view comment) {
    const std::string start = prefix();
    if (comment.substr(0, start.size()) != start || comment.empty() || comment.back() != ')') return std::nullopt;
    std::string_view inner = comment.substr(start.size(), comment.size() - start.size() - 1);
    OwnSection own;
    if (inner.size() >= kCreatedFile.size() && inner.substr(inner.size() - kCreatedFile.size()) == kCreatedFile) {
        own.createdFile = true;
        inner.remove_suffix(kCreatedFile.size());
    }
    const auto writer = platform::ProcessMark::parse(inner);
    if (!writer) return std::nullopt;
    own.writer = *writer;
    return own;
}

void removeLeftoverSections(const std::string& schemaPath) {
    try {
        if (!platform::fileExists(schemaPath)) return;
        bool createdFile = false;
        const auto removed = platform::ini::eraseSectionsIf(schemaPath, [&](const platform::ini::SectionComments& s) {
            for (const auto& comment : s.comments) {
                const auto own = parseOwnSectionComment(comment);
                if (!own || platform::writerState(own->writer) != platform::WriterState::Gone) continue;
                createdFile = createdFile || own->createdFile;
                return true;
            }
            return false;
        });
        if (!removed.empty() && createdFile && !platform::ini::hasContent(schemaPath)) platform::removeFile(schemaPath);
    } catch (const std::exception&) {
        // The binding's own write reports a file that cannot be read or written.
    }
}

}  // namespace source
