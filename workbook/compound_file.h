// What a workbook file is by its first bytes, and the mark of a workbook
// protected by a password to open: such a workbook is not a zip package but
// a compound file holding a stream named "EncryptedPackage".
#pragma once

#include <string>

namespace workbook {

enum class FileKind {
    ZipPackage,    // "PK": an .xlsx
    CompoundFile,  // D0 CF 11 E0 A1 B1 1A E1: an .xls, or an encrypted workbook
    Other,
};

// Throws WorkbookError (CannotOpen) when the file cannot be read.
FileKind fileKindOf(const std::string& path, const std::string& displayName);

// True when the compound file at path has a directory entry named
// "EncryptedPackage".  Directory entries are 128-byte records that begin
// on 128-byte boundaries of the file, each with its name in UTF-16 first,
// so the name is looked for there.
bool holdsEncryptedPackage(const std::string& path);

}  // namespace workbook
