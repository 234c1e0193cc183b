// Replaces the C allocator's entry points by counting wrappers around glibc's own allocator, as
// glibc allows a program to do. Every block is counted at its usable size, so that a block
// freed counts off exactly what it counted on.

#include "CountingAllocator.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<int64_t> inUse{0};
std::atomic<int64_t> peak{0};

void counted(void* block) {
    if (!block)
        return;
    const int64_t now =
        inUse.fetch_add(int64_t(malloc_usable_size(block)), std::memory_order_relaxed) +
        int64_t(malloc_usable_size(block));
    int64_t high = peak.load(std::memory_order_relaxed);
    while (now > high && !peak.compare_exchange_weak(high, now, std::memory_order_relaxed)) {
    }
}

void uncounted(void* block) {
    if (block)
        inUse.fetch_sub(int64_t(malloc_usable_size(block)), std::memory_order_relaxed);
}

} // namespace

namespace quillex::bench {

int64_t heapBytesInUse() {
    return inUse.load(std::memory_order_relaxed);
}

int64_t heapPeakBytes() {
    return peak.load(std::memory_order_relaxed);
}

void resetHeapPeak() {
    peak.store(inUse.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

} // namespace quillex::bench

extern "C" {

void* malloc(size_t size) noexcept {
    void* block = __libc_malloc(size);
    counted(block);
    return block;
}

void* calloc(size_t count, size_t size) noexcept {
    void* block = __libc_calloc(count, size);
    counted(block);
    return block;
}

void* realloc(void* block, size_t size) noexcept {
    if (!block)
        return malloc(size);
    const auto before = int64_t(malloc_usable_size(block));
    void* moved = __libc_realloc(block, size);
    if (moved || size == 0) {
        inUse.fetch_sub(before, std::memory_order_relaxed);
        counted(moved);
    }
    return moved;
}

void* reallocarray(void* block, size_t count, size_t size) noexcept {
    size_t total = 0;
    if (__builtin_mul_overflow(count, size, &total)) {
        errno = ENOMEM;
        return nullptr;
    }
    return realloc(block, total);
}

void free(void* block) noexcept {
    uncounted(block);
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size) noexcept {
    void* block = __libc_memalign(alignment, size);
    counted(block);
    return block;
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    return memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) noexcept {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* block = memalign(alignment, size);
    if (!block)
        return ENOMEM;
    *out = block;
    return 0;
}

void* valloc(size_t size) noexcept {
    return memalign(4096, size);
}

void* pvalloc(size_t size) noexcept {
    return memalign(4096, (size + 4095) & ~size_t(4095));
}

} // extern "C"
