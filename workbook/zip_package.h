// The zip package of an .xlsx workbook, read with libzip, guarded against
// parts that inflate without reasonable bound: a part that would grow beyond
// maxPartBytes, or to more than maxRatio times its compressed size (past the
// first ratioFreeBytes, which cannot fill a disk), is refused, whatever the
// package claims of its sizes, so a crafted file cannot fill the disk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct zip;
struct zip_file;

namespace workbook {

struct InflationLimits {
    std::uint64_t maxPartBytes = 4ull << 30;
    std::uint64_t maxRatio = 100;
    std::uint64_t ratioFreeBytes = 1u << 20;
};

// One part, read front to back.
class PartStream {
public:
    ~PartStream();
    PartStream(const PartStream&) = delete;
    PartStream& operator=(const PartStream&) = delete;

    // Up to size bytes into buffer; 0 at the end.  Throws WorkbookError
    // (Damaged, Encrypted, TooLarge).
    std::size_t read(char* buffer, std::size_t size);
    // The part's uncompressed size as the package states it.
    std::uint64_t statedSize() const { return statedSize_; }
    const std::string& name() const { return name_; }
    // The workbook's name, for messages.
    const std::string& workbookName() const { return workbookName_; }

private:
    friend class ZipPackage;
    PartStream(zip_file* file, std::string name, std::string workbookName, std::uint64_t compressedSize,
               std::uint64_t statedSize, const InflationLimits& limits);

    zip_file* file_;
    std::string name_;
    std::string workbookName_;
    std::uint64_t compressedSize_;
    std::uint64_t statedSize_;
    std::uint64_t inflated_ = 0;
    InflationLimits limits_;
};

class ZipPackage {
public:
    // Opens the package at path (a file-system name); displayName names the
    // workbook in messages.  Throws WorkbookError (CannotOpen, Damaged).
    ZipPackage(const std::string& path, std::string displayName, const InflationLimits& limits);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // Part names without a leading "/", letter case ignored as in the package format.
    bool has(std::string_view partName) const;
    // Throws WorkbookError: Damaged when the part is missing, Encrypted, TooLarge.
    std::unique_ptr<PartStream> open(std::string_view partName) const;

    const std::string& displayName() const { return displayName_; }

private:
    zip* archive_ = nullptr;
    std::string displayName_;
    InflationLimits limits_;
};

}  // namespace workbook
