#include "engine/csv_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/engine.h"

namespace engine {
namespace {

// The first separator or line feed at or after p; the sentinel line feed
// stops the search, and the padding after it lets sixteen bytes be read at a
// time without running off the buffer.
inline const char* findStructural(const char* p, char separator) {
#if defined(__SSE2__)
    const __m128i sep = _mm_set1_epi8(separator);
    const __m128i lf = _mm_set1_epi8('\n');
    for (;; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, sep), _mm_cmpeq_epi8(v, lf)));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#else
    while (*p != separator && *p != '\n') ++p;
    return p;
#endif
}

}  // namespace

std::uint64_t lineNumberAt(const TableBytes& bytes, std::uint64_t offset) {
    std::vector<char> block(static_cast<std::size_t>(std::min<std::uint64_t>(1u << 20, offset + 1)));
    std::uint64_t line = 1;
    std::uint64_t pos = 0;
    while (pos < offset) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), offset - pos));
        const std::size_t got = bytes.readAt(block.data(), want, pos);
        if (got == 0) break;
        for (std::size_t i = 0; i < got; ++i) line += block[i] == '\n';
        pos += got;
    }
    return line;
}

std::uint64_t lineNumberAt(Utf16Decoder& decoder, std::uint64_t offset) {
    std::vector<char> block(static_cast<std::size_t>(std::min<std::uint64_t>(1u << 20, offset + 1)));
    std::uint64_t line = 1;
    std::uint64_t pos = 0;
    while (pos < offset) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), offset - pos));
        const std::size_t got = decoder.read(block.data(), want);
        if (got == 0) break;
        for (std::size_t i = 0; i < got; ++i) line += block[i] == '\n';
        pos += got;
    }
    return line;
}

CsvReader::CsvReader(TableBytes bytes, std::string displayName, char separator, std::uint64_t begin,
                     std::uint64_t stopAt, std::uint64_t fileSize)
    : bytes_(bytes),
      displayName_(std::move(displayName)),
      separator_(separator),
      stopAt_(stopAt),
      fileSize_(fileSize),
      readOffset_(begin),
      bufferOffset_(begin) {
    structural_[static_cast<unsigned char>(separator)] = true;
    structural_[static_cast<unsigned char>('\n')] = true;
    buffer_.resize(std::min<std::uint64_t>(kBlockSize, fileSize > begin ? fileSize - begin : 0) + 1 + kPadding);
    buffer_[0] = '\n';
}

CsvReader::CsvReader(std::unique_ptr<Utf16Decoder> decoder, std::string displayName, char separator,
                     std::uint64_t begin)
    : bytes_(-1),
      displayName_(std::move(displayName)),
      separator_(separator),
      // The end of the text is known only when the decoder reaches it (refill then sets fileSize_).
      stopAt_(~std::uint64_t{0}),
      fileSize_(~std::uint64_t{0}),
      readOffset_(begin),
      bufferOffset_(begin),
      decoder_(std::move(decoder)) {
    structural_[static_cast<unsigned char>(separator)] = true;
    structural_[static_cast<unsigned char>('\n')] = true;
    buffer_.resize(std::min<std::uint64_t>(kBlockSize, decoder_->textLeftEstimate()) + 1 + kPadding);
    buffer_[0] = '\n';
    decoder_->skip(begin);
}

bool CsvReader::refill() {
    if (readOffset_ >= fileSize_) return false;
    // Keep the unfinished row, move it to the front.
    const std::size_t keep = end_ - cur_;
    if (cur_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + cur_, keep);
        bufferOffset_ += cur_;
        cur_ = 0;
        end_ = keep;
    }
    if (buffer_.size() - 1 - kPadding - end_ < kBlockSize / 2) {
        const std::uint64_t remaining = decoder_ ? decoder_->textLeftEstimate() : fileSize_ - readOffset_;
        const std::size_t grow = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kBlockSize));
        buffer_.resize(std::max(buffer_.size(), end_ + grow + 1 + kPadding));
    }
    const std::size_t room = buffer_.size() - 1 - kPadding - end_;
    const std::size_t got = decoder_ ? decoder_->read(buffer_.data() + end_, room)
                                     : bytes_.readAt(buffer_.data() + end_, room, readOffset_);
    if (got == 0) {
        fileSize_ = readOffset_;  // the file shrank while being read
        buffer_[end_] = '\n';
        return false;
    }
    readOffset_ += got;
    end_ += got;
    buffer_[end_] = '\n';
    if (hook_) hook_(decoder_ ? decoder_->fileOffset() : readOffset_);
    return true;
}

bool CsvReader::next() {
    for (;;) {
        if (offset() >= stopAt_) return false;
        const bool atEof = readOffset_ >= fileSize_;
        if (cur_ >= end_) {
            if (atEof || !refill()) return false;
            continue;
        }
        if (parseRow(atEof) == Parse::Row) return true;
        if (!refill()) {
            if (parseRow(true) == Parse::Row) return true;
            return false;
        }
    }
}

void CsvReader::unterminatedQuote(std::size_t quoteIndex) const {
    std::uint64_t line;
    if (decoder_) {
        Utf16Decoder fresh = decoder_->restarted();
        line = lineNumberAt(fresh, bufferOffset_ + quoteIndex);
    } else {
        line = lineNumberAt(bytes_, bufferOffset_ + quoteIndex);
    }
    throw Error("Unterminated quoted field starting at line " + std::to_string(line) + " of " + displayName_);
}

CsvReader::Parse CsvReader::parseRow(bool atEof) {
    const char* const base = buffer_.data();
    const char* const end = base + end_;
    const char* p = base + cur_;
    refs_.clear();
    scratch_.clear();
    std::size_t index = 0;
    const bool* structural = structural_;
    for (;;) {
        if (index >= wanted_) {
            // Skip the rest of the line; field by field only if a quote might open a field.
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!nl && !atEof) return Parse::NeedMore;
            const char* lineEnd = nl ? nl : end;
            if (!std::memchr(p, '"', static_cast<std::size_t>(lineEnd - p))) {
                p = nl ? nl + 1 : end;
                break;
            }
        }
        const char* t;
        FieldRef ref{};
        if (*p == '"' && p < end) {
            const char* q = p + 1;
            bool escaped = false;
            const char* close = nullptr;
            for (;;) {
                const char* r = static_cast<const char*>(std::memchr(q, '"', static_cast<std::size_t>(end - q)));
                if (!r) {
                    if (!atEof) return Parse::NeedMore;
                    unterminatedQuote(static_cast<std::size_t>(p - base));
                }
                if (r + 1 == end && !atEof) return Parse::NeedMore;
                if (r + 1 < end && r[1] == '"') {
                    escaped = true;
                    q = r + 2;
                    continue;
                }
                close = r;
                break;
            }
            t = close + 1;
            while (!structural[static_cast<unsigned char>(*t)]) ++t;
            if (t == end && !atEof) return Parse::NeedMore;
            const char* tail = t;
            if (tail > close + 1 && (t == end || *t == '\n') && tail[-1] == '\r') --tail;
            if (index < wanted_) {
                if (!escaped && tail == close + 1) {
                    ref = {static_cast<std::uint32_t>(p + 1 - base), static_cast<std::uint32_t>(close - p - 1), false};
                } else {
                    const std::size_t at = scratch_.size();
                    for (const char* c = p + 1; c < close; ++c) {
                        scratch_.push_back(*c);
                        if (*c == '"') ++c;  // a doubled quote stands for one
                    }
                    scratch_.append(close + 1, tail);
                    ref = {static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(scratch_.size() - at), true};
                }
            }
        } else {
            t = findStructural(p, separator_);
            if (t == end && !atEof) return Parse::NeedMore;
            const char* fieldEnd = t;
            if (fieldEnd > p && (t == end || *t == '\n') && fieldEnd[-1] == '\r') --fieldEnd;
            if (index < wanted_)
                ref = {static_cast<std::uint32_t>(p - base), static_cast<std::uint32_t>(fieldEnd - p), false};
        }
        if (index < wanted_) refs_.push_back(ref);
        ++index;
        if (t >= end) {
            p = end;
            break;
        }
        if (*t == '\n') {
            p = t + 1;
            break;
        }
        p = t + 1;
    }
    fieldCount_ = index;
    fields_.resize(refs_.size());
    for (std::size_t i = 0; i < refs_.size(); ++i) {
        const FieldRef& r = refs_[i];
        if (r.size == 0) fields_[i] = Value::null();
        else fields_[i] = Value::text((r.inScratch ? scratch_.data() : base) + r.offset, r.size);
    }
    cur_ = static_cast<std::size_t>(p - base);
    return Parse::Row;
}

}  // namespace engine
