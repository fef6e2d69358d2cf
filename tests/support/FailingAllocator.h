// An allocator that fails on request, for out-of-memory tests: once armed,
// the n-th allocation call (malloc, calloc, realloc, reallocarray, memalign,
// aligned_alloc, posix_memalign, and so operator new) fails as when memory
// is out, once; every other call is the C library's.
//
// A test links libvesnik_failing_allocator.so and arms it with the functions
// below. Any other program runs with it preloaded and arms it from its start:
//   LD_PRELOAD=.../libvesnik_failing_allocator.so
//   VESNIK_FAIL_ALLOCATION=N            the N-th allocation from the start fails
//   VESNIK_FAIL_ALLOCATION_REPORT=FILE  FILE is created when that happens
// Both variables are taken out of the environment at start, so that programs
// it starts run unarmed. A run with no report file allocated fewer than N
// times: there is no later allocation left to fail.
#ifndef VESNIK_TESTS_SUPPORT_FAILINGALLOCATOR_H
#define VESNIK_TESTS_SUPPORT_FAILINGALLOCATOR_H

extern "C" {

// The n-th allocation from now fails; 0 disarms.
void vesnikFailAllocation(unsigned long n);

// Whether the failure armed last has happened.
int vesnikAllocationFailed(void);
}

#endif
