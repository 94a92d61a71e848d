#include "AllocationCounter.h"

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
}

namespace {

std::atomic<uint64_t> g_allocations{0};

void CountOne() { g_allocations.fetch_add(1, std::memory_order_relaxed); }

}  // namespace

uint64_t AllocationCounter::Count() { return g_allocations.load(std::memory_order_relaxed); }

// The C library's free and the rest of its allocator stay as they are: these
// only count before handing on.
extern "C" void* malloc(size_t size) {
    CountOne();
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
    CountOne();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* pointer, size_t size) {
    CountOne();
    return __libc_realloc(pointer, size);
}
