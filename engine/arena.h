// Bump allocator for the bytes of result values, distinct values and group
// keys: growing chunks, freed all at once, no allocation per value.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace engine {

class Arena {
public:
    static constexpr std::size_t kChunkSize = 4u << 20;
    static constexpr std::size_t kFirstChunk = 64u << 10;

    const char* copy(const char* p, std::size_t n) {
        if (n == 0) return "";
        if (n > kChunkSize / 4) {
            // A big value gets a chunk of its own; the current chunk goes on.
            chunks_.push_back(Chunk(n));
            reserved_ += n;
            std::memcpy(chunks_.back().data, p, n);
            return chunks_.back().data;
        }
        if (n > left_) {
            // Chunks grow from 64 KiB to 4 MiB: a statement of a few rows
            // (a preview, a count) takes little memory.
            chunk_ = std::min(kChunkSize, chunk_ * 2);
            const std::size_t size = std::max(chunk_, n);
            chunks_.push_back(Chunk(size));
            reserved_ += size;
            next_ = chunks_.back().data;
            left_ = size;
        }
        char* dest = next_;
        std::memcpy(dest, p, n);
        next_ += n;
        left_ -= n;
        return dest;
    }

    // Takes over the chunks of other; its values stay where they are.
    void adopt(Arena&& other) {
        for (auto& c : other.chunks_) chunks_.push_back(std::move(c));
        reserved_ += other.reserved_;
        other.chunks_.clear();
        other.next_ = nullptr;
        other.left_ = 0;
        other.reserved_ = 0;
    }

    std::size_t bytesReserved() const { return reserved_; }

private:
    struct Chunk {
        explicit Chunk(std::size_t n) : data(new char[n]), size(n) {}
        Chunk(Chunk&& o) noexcept : data(o.data), size(o.size) { o.data = nullptr; }
        Chunk& operator=(Chunk&& o) noexcept {
            std::swap(data, o.data);
            std::swap(size, o.size);
            return *this;
        }
        ~Chunk() { delete[] data; }
        char* data;
        std::size_t size;
    };
    std::vector<Chunk> chunks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t reserved_ = 0;
    std::size_t chunk_ = kFirstChunk / 2;  // size of the last chunk
};

}  // namespace engine
