// The encoding of a table file's bytes: what Schema.ini declares for it
// (CharacterSet), what a byte-order mark at its start says, else the
// connection's default (its connection string's CharacterSet, else its code
// page).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/engine.h"

namespace engine {

enum class FileEncoding { Gbk, Utf8, Utf16Le, Utf16Be };

// The code page of the values read from such a file: UTF-16 files are
// turned into UTF-8 as they are read.
inline CodePage valueCodePage(FileEncoding encoding) {
    return encoding == FileEncoding::Gbk ? CodePage::Gbk : CodePage::Utf8;
}

inline bool isUtf16(FileEncoding encoding) {
    return encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be;
}

// A CharacterSet value of Schema.ini: "65001" (UTF-8), "1200" (UTF-16 LE),
// "1201" (UTF-16 BE), "ANSI" or "936" (GBK), letter case ignored; nullopt
// for anything else.
std::optional<FileEncoding> parseCharacterSet(std::string_view value);

struct ContentEncoding {
    FileEncoding encoding;
    std::size_t bomSize;  // bytes of byte-order mark at the start, skipped
};

// Decides how a file whose first bytes are `head` (up to three) is read:
// - declared (a CharacterSet key of its own): that encoding.  A UTF-8 mark
//   before GBK or UTF-8 text is skipped; before UTF-16 text a UTF-16 mark is
//   skipped and gives the byte order (it is what the file says of itself).
// - nothing declared: a mark decides (EF BB BF UTF-8, FF FE UTF-16 LE, FE FF
//   UTF-16 BE), else the file is in the connection's default.
ContentEncoding contentEncoding(std::optional<FileEncoding> declared, std::string_view head,
                                FileEncoding connectionDefault);

// The encoding of a file in the code page itself.
inline FileEncoding fileEncodingOf(CodePage codePage) {
    return codePage == CodePage::Utf8 ? FileEncoding::Utf8 : FileEncoding::Gbk;
}

}  // namespace engine
