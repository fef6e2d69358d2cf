// An allocator that fails on request, for out-of-memory tests: once armed,
// the n-th allocation call (malloc, calloc, realloc, reallocarray, memalign,
// aligned_alloc, posix_memalign, and so operator new) fails as when memory
// is out, once; every other call is the C library's. A program links
// libvesnik_failing_allocator.so and arms it with the functions below.
#ifndef VESNIK_TESTS_SUPPORT_FAILINGALLOCATOR_H
#define VESNIK_TESTS_SUPPORT_FAILINGALLOCATOR_H

extern "C" {

// The n-th allocation from now fails; 0 disarms.
void vesnikFailAllocation(unsigned long n);

// Whether the failure armed last has happened.
int vesnikAllocationFailed(void);
}

#endif
