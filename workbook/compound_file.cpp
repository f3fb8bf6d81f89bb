#include "workbook/compound_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "workbook/workbook_error.h"

namespace workbook {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

FileKind fileKindOf(const std::string& path, const std::string& displayName) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw refusal(Refusal::CannotOpen, displayName, platform::systemErrorText(errno));
    unsigned char head[8] = {};
    const ssize_t got = ::pread(fd.get(), head, sizeof head, 0);
    if (got < 0) throw refusal(Refusal::CannotOpen, displayName, platform::systemErrorText(errno));
    if (got >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] < 9 && head[3] < 9) return FileKind::ZipPackage;
    static const unsigned char compound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (got == 8 && std::memcmp(head, compound, 8) == 0) return FileKind::CompoundFile;
    return FileKind::Other;
}

bool holdsEncryptedPackage(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    // "EncryptedPackage" in UTF-16 LE with its terminating zero.
    static const std::string name = [] {
        std::string utf16;
        for (const char c : std::string("EncryptedPackage")) {
            utf16 += c;
            utf16 += '\0';
        }
        return utf16 + std::string(2, '\0');
    }();
    std::vector<char> block(1u << 20);
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd.get(), block.data(), block.size(), offset);
        if (got <= 0) return false;
        for (ssize_t at = 0; at + static_cast<ssize_t>(name.size()) <= got; at += 128)
            if (std::memcmp(block.data() + at, name.data(), name.size()) == 0) return true;
        offset += got;
        if (got % 128 != 0) return false;  // a short read ends the file
    }
}

}  // namespace workbook
