#include "export/split_export.h"

#include <cerrno>
#include <memory>
#include <string_view>

#include "csv/output_file.h"
#include "export/file_steps.h"
#include "export/line_reader.h"
#include "platform/code_page.h"

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
// part dropped before it is closed (a failure, a cancelled run) leaves no file.
class PartWriter {
public:
    // byteOrderMark: each part begins with one, as the file split did.
    PartWriter(ExportRun& ctx, bool byteOrderMark) : ctx_(ctx), byteOrderMark_(byteOrderMark) {}

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

    void close() {
        if (!file_) return;
        try {
            file_->close();
            ctx_.summary.noteFile(file_->path(), lines_);
            ++ctx_.summary.parts;
            file_.reset();
        } catch (const csv::OutputFileError& e) {
            file_.reset();
            throw SplitError(SplitErrorText(e.errorNumber()));
        }
    }

private:
    ExportRun& ctx_;
    bool byteOrderMark_;
    std::unique_ptr<csv::OutputFile> file_;
    int number_ = 0;
    std::uint64_t lines_ = 0;
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
    checkpoint.finish();
    return true;
}

std::int64_t SplitSizeLimit(std::int32_t amount, int unitIndex) {
    return static_cast<std::int64_t>(amount) * (unitIndex == 0 ? 1024 : 1048576);
}

}  // namespace exporting
