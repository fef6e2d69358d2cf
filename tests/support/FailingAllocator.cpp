// The C library's allocator, with one call made to fail on request. glibc
// lets a program replace malloc and its kin, and calls the replacement from
// within itself too (strdup, realpath, the loader's dlopen); its own
// implementations stay reachable as __libc_*.
#include "support/FailingAllocator.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>

#define VESNIK_EXPORT __attribute__((visibility("default")))

extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* block, std::size_t size) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;
}

namespace {

// Calls left until the one that fails; 0 when disarmed. Shared by threads.
unsigned long callsLeft = 0;
int failed = 0;

bool failThisCall() {
    unsigned long left = __atomic_load_n(&callsLeft, __ATOMIC_RELAXED);
    while (left != 0) {
        if (__atomic_compare_exchange_n(&callsLeft, &left, left - 1, false, __ATOMIC_RELAXED,
                                        __ATOMIC_RELAXED)) {
            if (left != 1) {
                return false;
            }
            __atomic_store_n(&failed, 1, __ATOMIC_RELAXED);
            return true;
        }
    }
    return false;
}

// Null with errno as the C library's allocator leaves it when memory is out.
void* outOfMemory() {
    errno = ENOMEM;
    return nullptr;
}

}  // namespace

extern "C" {

VESNIK_EXPORT void vesnikFailAllocation(unsigned long n) {
    __atomic_store_n(&failed, 0, __ATOMIC_RELAXED);
    __atomic_store_n(&callsLeft, n, __ATOMIC_RELAXED);
}

VESNIK_EXPORT int vesnikAllocationFailed(void) {
    return __atomic_load_n(&failed, __ATOMIC_RELAXED);
}

VESNIK_EXPORT void* malloc(std::size_t size) noexcept {
    return failThisCall() ? outOfMemory() : __libc_malloc(size);
}

VESNIK_EXPORT void* calloc(std::size_t count, std::size_t size) noexcept {
    return failThisCall() ? outOfMemory() : __libc_calloc(count, size);
}

VESNIK_EXPORT void* realloc(void* block, std::size_t size) noexcept {
    // With a block and no size, realloc frees: nothing to fail.
    if (block != nullptr && size == 0) {
        return __libc_realloc(block, size);
    }
    return failThisCall() ? outOfMemory() : __libc_realloc(block, size);
}

VESNIK_EXPORT void* reallocarray(void* block, std::size_t count, std::size_t size) noexcept {
    std::size_t total;
    if (__builtin_mul_overflow(count, size, &total)) {
        return outOfMemory();
    }
    return realloc(block, total);
}

VESNIK_EXPORT void* memalign(std::size_t alignment, std::size_t size) noexcept {
    return failThisCall() ? outOfMemory() : __libc_memalign(alignment, size);
}

VESNIK_EXPORT void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    return memalign(alignment, size);
}

VESNIK_EXPORT int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept {
    if (alignment == 0 || alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* const got = failThisCall() ? nullptr : __libc_memalign(alignment, size);
    if (got == nullptr) {
        return ENOMEM;
    }
    *block = got;
    return 0;
}
}
