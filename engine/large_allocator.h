// Allocator for the slot arrays of large hash tables: large blocks come
// straight from mmap and are marked for transparent huge pages, so that
// random access over hundreds of megabytes does not miss the TLB at every
// step.  Small blocks use the ordinary heap.  (Sequentially filled memory,
// arenas and cells, gains little from huge pages and stays on the heap.)
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace engine {

inline constexpr std::size_t kLargeBlock = 4u << 20;

inline void* allocateLarge(std::size_t bytes) {
    if (bytes >= kLargeBlock) {
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        ::madvise(p, bytes, MADV_HUGEPAGE);
        return p;
    }
    void* p = std::malloc(bytes ? bytes : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

inline void freeLarge(void* p, std::size_t bytes) {
    if (!p) return;
    if (bytes >= kLargeBlock) ::munmap(p, bytes);
    else std::free(p);
}

template <class T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { freeLarge(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const LargeAllocator<U>&) const { return true; }
};

}  // namespace engine
