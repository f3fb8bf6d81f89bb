// The encoding of a list: detected from its first bytes, or chosen by the
// user; what the description file says of it; and what result files of such
// a list are written in.
#pragma once

#include <string>

namespace source {

// What a file holds.
enum class TextEncoding { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// The user's choice (the items of the encoding drop-down, in order).
enum class EncodingChoice { Auto, Gbk, Utf8, Utf16 };

// The first bytes decide: EF BB BF is UTF-8 with a byte-order mark, FF FE
// UTF-16 LE, FE FF UTF-16 BE.  Otherwise the first MiB (extended to the next
// line end) is looked at: valid UTF-8 holding at least one multi-byte
// character is UTF-8; anything else, an all-ASCII or empty file included, is
// GBK (whose bytes are the same for ASCII).  A file that cannot be read is GBK
// (reading it later gives the message).
TextEncoding detectEncoding(const std::string& path);

// The encoding in force for a choice: the detected one for Auto; for a forced
// UTF-8 or UTF-16 the byte-order mark still tells which form (UTF-16 without
// one is taken as LE).
TextEncoding resolveEncoding(const std::string& path, EncodingChoice choice);

// Whether the file begins with a byte-order mark (UTF-8 or UTF-16).
bool startsWithByteOrderMark(const std::string& path);

// The description file's CharacterSet value: "65001", "1200", "1201", or ""
// for GBK (no key is written, so the file stays as it always was).
std::string characterSetValue(TextEncoding encoding);

// What the window says is in force: "检测为 UTF-8 (BOM)", "指定为 ANSI (GBK)", ...
std::string encodingNote(TextEncoding encoding, bool detected);

// Result files of such a list: GBK for GBK, otherwise UTF-8 (UTF-16 lists
// give UTF-8 files), with a byte-order mark when the list had one.
bool resultsAreUtf8(TextEncoding encoding);
bool resultsHaveByteOrderMark(TextEncoding encoding);

}  // namespace source
