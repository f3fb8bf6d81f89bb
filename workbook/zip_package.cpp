#include "workbook/zip_package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>

#include "platform/file_system.h"
#include "workbook/workbook_error.h"

namespace workbook {

namespace {

std::string zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

bool isPasswordError(int code) {
    return code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP;
}

std::string partLocation(std::string_view part) { return std::string(part) + ": "; }

}  // namespace

ZipPackage::ZipPackage(const std::string& path, std::string displayName, const InflationLimits& limits)
    : displayName_(std::move(displayName)), limits_(limits) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw refusal(Refusal::CannotOpen, displayName_, platform::systemErrorText(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw refusal(Refusal::CannotOpen, displayName_, "not a regular file");
    }
    int code = 0;
    archive_ = zip_fdopen(fd, ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive_) {
        ::close(fd);
        if (code == ZIP_ER_READ || code == ZIP_ER_SEEK || code == ZIP_ER_MEMORY)
            throw refusal(Refusal::CannotOpen, displayName_, zipErrorText(code));
        throw refusal(Refusal::Damaged, displayName_, zipErrorText(code));
    }
}

ZipPackage::~ZipPackage() {
    if (archive_) zip_discard(archive_);
}

bool ZipPackage::has(std::string_view partName) const {
    return zip_name_locate(archive_, std::string(partName).c_str(), ZIP_FL_NOCASE) >= 0;
}

std::unique_ptr<PartStream> ZipPackage::open(std::string_view partName) const {
    const std::string name(partName);
    const zip_int64_t index = zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) throw refusal(Refusal::Damaged, displayName_, "the part " + name + " is missing");
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &st) != 0)
        throw refusal(Refusal::Damaged, displayName_, partLocation(name) + zip_strerror(archive_));
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        throw refusal(Refusal::Encrypted, displayName_, "the part " + name + " is encrypted");
    const std::uint64_t compressed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
    const std::uint64_t size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    if (size > limits_.maxPartBytes || (size > limits_.ratioFreeBytes && size / limits_.maxRatio > compressed))
        throw refusal(Refusal::TooLarge, displayName_,
                      "the part " + name + " would inflate from " + std::to_string(compressed) + " to " +
                          std::to_string(size) + " bytes");
    zip_file_t* file = zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(archive_));
        throw refusal(isPasswordError(code) ? Refusal::Encrypted : Refusal::Damaged, displayName_,
                      partLocation(name) + zip_strerror(archive_));
    }
    return std::unique_ptr<PartStream>(new PartStream(file, name, displayName_, compressed, size, limits_));
}

PartStream::PartStream(zip_file* file, std::string name, std::string workbookName, std::uint64_t compressedSize,
                       std::uint64_t statedSize, const InflationLimits& limits)
    : file_(file),
      name_(std::move(name)),
      workbookName_(std::move(workbookName)),
      compressedSize_(compressedSize),
      statedSize_(statedSize),
      limits_(limits) {}

PartStream::~PartStream() { zip_fclose(file_); }

std::size_t PartStream::read(char* buffer, std::size_t size) {
    const zip_int64_t got = zip_fread(file_, buffer, size);
    if (got < 0) {
        const int code = zip_error_code_zip(zip_file_get_error(file_));
        throw refusal(isPasswordError(code) ? Refusal::Encrypted : Refusal::Damaged, workbookName_,
                      partLocation(name_) + zip_file_strerror(file_));
    }
    inflated_ += static_cast<std::uint64_t>(got);
    // The stated sizes were checked on opening; this holds whatever they claimed.
    if (inflated_ > limits_.maxPartBytes ||
        (inflated_ > limits_.ratioFreeBytes && inflated_ / limits_.maxRatio > compressedSize_))
        throw refusal(Refusal::TooLarge, workbookName_,
                      "the part " + name_ + " inflates from " + std::to_string(compressedSize_) + " to more than " +
                          std::to_string(inflated_) + " bytes");
    return static_cast<std::size_t>(got);
}

}  // namespace workbook
