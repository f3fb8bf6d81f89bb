#include "engine/utf16_decoder.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "engine/engine.h"
#include "engine/utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {

bool Utf16Decoder::asciiUnits(const unsigned char* p, char* dest) const {
#if defined(__SSE2__)
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (bigEndian_) v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF80))),
                                          _mm_setzero_si128())) != 0xFFFF)
        return false;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dest), _mm_packus_epi16(v, v));
    return true;
#else
    for (int i = 0; i < 8; ++i)
        if (unit(p + 2 * i) >= 0x80) return false;
    for (int i = 0; i < 8; ++i) dest[i] = static_cast<char>(unit(p + 2 * i));
    return true;
#endif
}

Utf16Decoder::Utf16Decoder(TableBytes bytes, bool bigEndian, std::uint64_t start, std::uint64_t size)
    : bytes_(bytes), bigEndian_(bigEndian), start_(start), readOffset_(start), size_(size), raw_(kChunk) {}

std::size_t Utf16Decoder::fill(std::size_t need) {
    if (end_ - pos_ >= need || readOffset_ >= size_) return end_ - pos_;
    // Keep the unread bytes (at most a few), move them to the front.
    std::memmove(raw_.data(), raw_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
    while (end_ < need && readOffset_ < size_) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(raw_.size() - end_, size_ - readOffset_));
        const std::size_t got = bytes_.readAt(reinterpret_cast<char*>(raw_.data()) + end_, want, readOffset_);
        if (got == 0) {
            size_ = readOffset_;  // the file shrank while being read
            break;
        }
        end_ += static_cast<std::size_t>(got);
        readOffset_ += static_cast<std::uint64_t>(got);
    }
    return end_ - pos_;
}

std::size_t Utf16Decoder::read(char* dest, std::size_t room) {
    std::size_t written = 0;
    bool full = false;
    while (!full && written < room) {
        std::size_t have = end_ - pos_;
        if (have < 4) have = fill(4);
        if (have < 2) {
            if (have == 1 && room - written >= 3) {  // an odd last byte
                ++pos_;
                written += putUtf8(dest + written, 0xFFFD);
            }
            break;
        }
        const unsigned char* p = raw_.data() + pos_;
        const unsigned char* const end = raw_.data() + end_;
        // The units whose partner (of a surrogate pair) is in reach; the last
        // three bytes wait for the refill above, unless the file ends there.
        const unsigned char* const stop = have >= 4 ? end - 3 : p + 1;
        while (p < stop) {
            // Fast path: eight units below 0x80 at once.
            if (stop - p >= 16 && room - written >= 8 && asciiUnits(p, dest + written)) {
                p += 16;
                written += 8;
                continue;
            }
            const char32_t u = unit(p);
            if (u < 0x80) {
                if (written == room) {
                    full = true;
                    break;
                }
                dest[written++] = static_cast<char>(u);
                p += 2;
                continue;
            }
            char32_t c = u;
            std::size_t units = 1;
            if (u >= 0xD800 && u < 0xDC00 && p + 3 < end) {
                const char32_t low = unit(p + 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    c = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                    units = 2;
                }
            }
            if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;  // half of a pair without its partner
            const std::size_t need = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
            if (room - written < need) {
                full = true;
                break;
            }
            written += putUtf8(dest + written, c);
            p += 2 * units;
        }
        pos_ = static_cast<std::size_t>(p - raw_.data());
    }
    return written;
}

void Utf16Decoder::skip(std::uint64_t n) {
    char scratch[4096];
    while (n > 0) {
        const std::size_t got = read(scratch, static_cast<std::size_t>(std::min<std::uint64_t>(n, sizeof scratch)));
        if (got == 0) break;
        n -= got;
    }
}

}  // namespace engine
