#include "export/split_export.h"

#include <cerrno>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "csv/output_file.h"
#include "export/file_steps.h"
#include "export/line_reader.h"
#include "platform/code_page.h"
#include "platform/staged_file.h"

namespace exporting {

std::string SplitErrorText(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "File not found";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

namespace {

std::string partText(int number) {
    return "正在拆分第 " + std::to_string(number) + " 个文件……";
}

// The part being written; created on the first line that goes into it.  A
// finished part waits for the next ones, to be put in place with them: one
// wait for the disk for many parts instead of one each.  The parts finished
// before a failure or a cancel request are put in place then; the one being
// written is dropped and leaves no file.
class PartWriter {
public:
    // Parts, or bytes, finished before they are put in place.
    static constexpr std::size_t kBatchParts = 64;
    static constexpr std::uint64_t kBatchBytes = 256u << 20;

    // byteOrderMark: each part begins with one, as the file split did.
    PartWriter(ExportRun& ctx, bool byteOrderMark) : ctx_(ctx), byteOrderMark_(byteOrderMark) {}
    ~PartWriter() {
        file_.reset();
        try {
            placeFinished();
        } catch (...) {
            // Already failing or cancelled: a part not put in place stays a
            // temporary file, which the next run in the folder removes.
        }
    }

    bool open() const { return file_ != nullptr; }
    std::uint64_t size() const { return file_->size(); }

    void writeLine(std::string_view line) {
        try {
            if (!file_) {
                ctx_.progress.retitle(partText(++number_));
                file_ = std::make_unique<csv::OutputFile>(OutputPath(ctx_, "-Export-" + std::to_string(number_) + ".csv"));
                if (byteOrderMark_) file_->write(csv::kUtf8ByteOrderMark);
                lines_ = 0;
            }
            file_->write(line);
            file_->write("\r\n");
            ++lines_;
        } catch (const csv::OutputFileError& e) {
            file_.reset();
            throw SplitError(SplitErrorText(e.errorNumber() != 0 ? e.errorNumber() : EINVAL));
        }
    }

    // The part being written is complete.
    void close() {
        if (!file_) return;
        try {
            finishedBytes_ += file_->size();
            finishedLines_.push_back({file_->path(), lines_});
            finished_.push_back(file_->finish());
            file_.reset();
        } catch (const csv::OutputFileError& e) {
            file_.reset();
            finishedLines_.pop_back();
            throw SplitError(SplitErrorText(e.errorNumber()));
        }
        if (finished_.size() >= kBatchParts || finishedBytes_ >= kBatchBytes) placeFinished();
    }

    // Puts the finished parts in place under their names.
    void placeFinished() {
        finishedBytes_ = 0;
        try {
            platform::StagedFile::commitAll(finished_);
        } catch (const platform::FileError& e) {
            finishedLines_.clear();
            throw SplitError(SplitErrorText(e.errorNumber() != 0 ? e.errorNumber() : EINVAL));
        }
        for (const auto& [path, lines] : finishedLines_) {
            ctx_.summary.noteFile(path, lines);
            ++ctx_.summary.parts;
        }
        finishedLines_.clear();
    }

private:
    ExportRun& ctx_;
    bool byteOrderMark_;
    std::unique_ptr<csv::OutputFile> file_;
    int number_ = 0;
    std::uint64_t lines_ = 0;
    std::vector<std::unique_ptr<platform::StagedFile>> finished_;
    std::vector<std::pair<std::string, std::uint64_t>> finishedLines_;  // path, lines
    std::uint64_t finishedBytes_ = 0;
};

// Between two lines: the cancel request, and the bar moved on every megabyte.
class SplitCheckpoint {
public:
    SplitCheckpoint(ExportRun& ctx, const LineReader& input) : ctx_(ctx), input_(input) {
        ctx_.progress.beginStep(kSplitStep, partText(1));
    }
    void operator()() {
        ctx_.progress.throwIfCancelled();
        if (input_.consumed() < nextReport_) return;
        ctx_.progress.advance(input_.consumed());
        nextReport_ = input_.consumed() + (1 << 20);
    }
    void finish() { ctx_.progress.advance(input_.consumed()); }

private:
    ExportRun& ctx_;
    const LineReader& input_;
    std::uint64_t nextReport_ = 0;
};

}  // namespace

bool SplitExportByRows(ExportRun& ctx, std::int32_t linesPerPart) {
    const std::int64_t perPart = linesPerPart < 1 ? 1 : linesPerPart;
    LineReader input(OutputPath(ctx, "-Export.csv"));
    platform::BusyGuard busy(ctx.feedback);
    PartWriter part(ctx, input.skipByteOrderMark());
    SplitCheckpoint checkpoint(ctx, input);
    std::int64_t linesInPart = 0;
    std::string_view line;
    while (input.next(line)) {
        checkpoint();
        part.writeLine(line);
        if (++linesInPart == perPart) {
            part.close();
            linesInPart = 0;
        }
    }
    part.close();
    part.placeFinished();
    checkpoint.finish();
    return true;
}

bool SplitExportBySize(ExportRun& ctx, std::int64_t limitBytes) {
    LineReader input(OutputPath(ctx, "-Export.csv"));
    platform::BusyGuard busy(ctx.feedback);
    PartWriter part(ctx, input.skipByteOrderMark());
    SplitCheckpoint checkpoint(ctx, input);
    std::string_view line;
    while (input.next(line)) {
        checkpoint();
        const std::int64_t lineBytes = static_cast<std::int64_t>(line.size()) + 2;
        if (part.open() && static_cast<std::int64_t>(part.size()) + lineBytes > limitBytes) part.close();
        part.writeLine(line);
    }
    part.close();
    part.placeFinished();
    checkpoint.finish();
    return true;
}

std::int64_t SplitSizeLimit(std::int32_t amount, int unitIndex) {
    return static_cast<std::int64_t>(amount) * (unitIndex == 0 ? 1024 : 1048576);
}

}  // namespace exporting
