#include "csv/output_file.h"

#include <cstring>

namespace csv {

namespace {

OutputFileError outputFailure(OutputFileError::Stage stage, const platform::FileError& e) {
    return OutputFileError(stage, e.errorNumber(), e.what());
}

}  // namespace

OutputFile::OutputFile(const std::string& path, std::size_t bufferSize) : path_(path) {
    try {
        file_ = std::make_unique<platform::StagedFile>(path);
    } catch (const platform::FileError& e) {
        throw outputFailure(OutputFileError::Stage::Create, e);
    }
    buffer_.resize(bufferSize == 0 ? 1 : bufferSize);
}

OutputFile::~OutputFile() = default;

void OutputFile::write(std::string_view bytes) {
    if (bytes.empty()) return;  // its pointer may be null, which memcpy never takes
    if (bytes.size() >= buffer_.size()) {
        // A piece larger than the buffer goes straight to the file.
        flush();
        writeAll(bytes.data(), bytes.size());
        return;
    }
    if (buffer_.size() - used_ < bytes.size()) flush();
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void OutputFile::flush() {
    writeAll(buffer_.data(), used_);
    used_ = 0;
}

void OutputFile::writeAll(const char* p, std::size_t left) {
    if (!file_) throw OutputFileError(OutputFileError::Stage::Write, 0, "Cannot write file \"" + path_ + "\".");
    try {
        file_->append(std::string_view(p, left));
    } catch (const platform::FileError& e) {
        used_ = 0;  // what could not be written is dropped, never retried at close
        throw outputFailure(OutputFileError::Stage::Write, e);
    }
    written_ += left;
}

template <class End>
void OutputFile::flushAnd(End&& end) {
    try {
        flush();
        end(*file_);
    } catch (const platform::FileError& e) {
        file_.reset();
        throw outputFailure(OutputFileError::Stage::Write, e);
    } catch (...) {
        file_.reset();
        throw;
    }
}

void OutputFile::close(bool waitForDisk) {
    if (!file_) return;
    flushAnd([waitForDisk](platform::StagedFile& file) { file.commit(waitForDisk); });
    file_.reset();
}

std::unique_ptr<platform::StagedFile> OutputFile::finish() {
    if (!file_) throw OutputFileError(OutputFileError::Stage::Write, 0, "Cannot write file \"" + path_ + "\".");
    flushAnd([](platform::StagedFile& file) { file.close(); });
    return std::move(file_);
}

}  // namespace csv
