// Replacement global allocation functions for the benchmark executable: every operator new is
// counted, so a frame's heap allocations can be read as the difference of two counts. Only
// this executable replaces them; the library and the game keep the standard ones elsewhere.

#include "bench/Harness.hpp"

#include <atomic>
#include <cstdlib>
#include <execinfo.h>
#include <malloc.h>
#include <new>
#include <unistd.h>

// The C allocator is interposed as well (the executable's definitions win over the C library's
// for every shared library too), so that allocations made inside SDL, the renderer's driver
// and the physics library are counted. glibc's own entry points do the work.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {
std::atomic<std::uint64_t> mallocs{0};
bool tracing = false;
thread_local bool inTrace = false;

// Prints the caller's stack of one C allocation to stderr (glibc's backtrace_symbols_fd does not
// allocate). Used to find out who allocates during a frame.
void Trace() {
    if (!tracing || inTrace) {
        return;
    }
    inTrace = true;
    void* frames[24];
    const int n = backtrace(frames, 24);
    static const char sep[] = "----\n";
    ::write(2, sep, sizeof sep - 1);
    backtrace_symbols_fd(frames, n, 2);
    inTrace = false;
}
} // namespace

void TraceMallocs(bool on) {
    if (on) {
        // backtrace loads its unwinder on first use, which allocates: do that now.
        void* warm[2];
        inTrace = true;
        backtrace(warm, 2);
        inTrace = false;
    }
    tracing = on;
}

extern "C" {
void* malloc(std::size_t size) {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    Trace();
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    Trace();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    Trace();
    return __libc_realloc(p, size);
}
void free(void* p) {
    __libc_free(p);
}
void* aligned_alloc(std::size_t align, std::size_t size) {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(align, size);
}
void* memalign(std::size_t align, std::size_t size) {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(align, size);
}
int posix_memalign(void** out, std::size_t align, std::size_t size) {
    mallocs.fetch_add(1, std::memory_order_relaxed);
    void* p = __libc_memalign(align, size);
    if (p == nullptr) {
        return 12; // ENOMEM
    }
    *out = p;
    return 0;
}
}

std::uint64_t MallocCalls() {
    return mallocs.load(std::memory_order_relaxed);
}

namespace {
std::atomic<std::uint64_t> allocations{0};
std::atomic<std::int64_t> bytesInUse{0};

void* Allocate(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (size == 0) {
        size = 1;
    }
    void* p = std::malloc(size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    bytesInUse.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p)),
                         std::memory_order_relaxed);
    return p;
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t a = static_cast<std::size_t>(align);
    // aligned_alloc wants a size that is a multiple of the alignment.
    std::size_t rounded = (size + a - 1) / a * a;
    void* p = std::aligned_alloc(a, rounded == 0 ? a : rounded);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    bytesInUse.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p)),
                         std::memory_order_relaxed);
    return p;
}

void Release(void* p) noexcept {
    if (p == nullptr) {
        return;
    }
    bytesInUse.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)),
                         std::memory_order_relaxed);
    std::free(p);
}
} // namespace

std::uint64_t HeapAllocations() {
    return allocations.load(std::memory_order_relaxed);
}
std::int64_t HeapBytesInUse() {
    return bytesInUse.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t a) {
    return AllocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a) {
    return AllocateAligned(size, a);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
