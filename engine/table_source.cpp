#include "engine/table_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "engine/csv_reader.h"
#include "engine/engine.h"
#include "engine/text_convert.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace engine {

FileHandle::~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

namespace {
void readHead(TableSource& t, const CharStepper& chars);
}  // namespace

std::string fileSystemName(const std::string& path, const CharStepper& chars) {
    if (chars.codePage() == CodePage::Utf8) return path;
    if (auto name = platform::gbkToUtf8Strict(path)) return *name;
    throw Error("The name " + path + " cannot be used as a file name: it is not valid GBK text");
}

TableSource openTable(const std::string& name, const std::string& dataSource, const TableFormat& defaults,
                      const CharStepper& chars) {
    TableSource t;
    t.name = name;
    std::string dir, fileName;
    if (!name.empty() && name.front() == '/') {
        dir = platform::directoryOf(name);
        fileName = platform::fileNameOf(name);
        t.path = name;
    } else {
        dir = dataSource;
        fileName = name;
        t.path = platform::joinPath(dataSource, name);
    }
    if (fileName.empty()) throw Error("The table name [" + name + "] names no file");
    const std::string native = fileSystemName(t.path, chars);
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            throw Error("Cannot find the table [" + name + "]: the file " + t.path + " does not exist");
        throw Error("Cannot open the table [" + name + "] (" + t.path + "): " + std::strerror(err));
    }
    t.file = FileHandle(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw Error("Cannot open the table [" + name + "]: " + t.path + " is not a file");
    t.fileSize = static_cast<std::uint64_t>(st.st_size);
    t.format = resolveTableFormat(dir, fileName, defaults, chars);
    if (!t.format.characterSet) {
        for (const auto& [declaredName, encoding] : defaults.declaredCharacterSets)
            if (declaredName == fileName) t.format.characterSet = encoding;
    }
    readHead(t, chars);
    return t;
}

TableSource openMemoryTable(const MemoryTable& table, const CharStepper& chars) {
    TableSource t;
    t.name = table.name;
    t.path = table.name;
    t.memory = table.bytes;
    t.inMemory = true;
    t.fileSize = table.bytes.size();
    t.format = table.format;
    readHead(t, chars);
    return t;
}

namespace {

// The encoding of the table's text (its section's CharacterSet, else a
// byte-order mark, else the connection's) and its column names.
void readHead(TableSource& t, const CharStepper& chars) {
    char head[3] = {};
    const std::size_t got = t.bytes().readAt(head, sizeof head, 0);
    const ContentEncoding content =
        contentEncoding(t.format.characterSet, std::string_view(head, got),
                        t.format.defaultCharacterSet.value_or(fileEncodingOf(chars.codePage())));
    t.encoding = content.encoding;
    t.values = valueCodePage(content.encoding);
    t.contentStart = content.bomSize;
    t.dataStart = isUtf16(t.encoding) ? 0 : t.contentStart;

    CsvReader reader = readTable(t, t.dataStart, t.fileSize);
    reader.setWanted(std::numeric_limits<std::size_t>::max());
    if (!reader.next()) {
        t.anyColumn = !t.format.header;
        return;
    }
    const auto& fields = reader.fields();
    for (std::size_t i = 0; i < reader.fieldCount(); ++i) {
        if (t.format.header && i < fields.size() && !fields[i].isNull())
            t.columns.push_back(converted(fields[i].view(), t.values, chars.codePage()));
        else
            t.columns.push_back("F" + std::to_string(i + 1));
    }
    if (t.format.header) t.dataStart = reader.offset();
}

}  // namespace

CsvReader readTable(const TableSource& table, std::uint64_t begin, std::uint64_t stopAt) {
    if (isUtf16(table.encoding))
        return CsvReader(std::make_unique<Utf16Decoder>(table.bytes(), table.encoding == FileEncoding::Utf16Be,
                                                        table.contentStart, table.fileSize),
                         table.path, table.format.separator, begin);
    return CsvReader(table.bytes(), table.path, table.format.separator, begin, stopAt, table.fileSize);
}

}  // namespace engine
