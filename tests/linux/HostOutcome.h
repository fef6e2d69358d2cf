// How allocation_failing_host ended, told by its exit status.
#ifndef VESNIK_TESTS_LINUX_HOSTOUTCOME_H
#define VESNIK_TESTS_LINUX_HOSTOUTCOME_H

namespace vesnik::test {

enum class HostOutcome {
    kLoadedWithNoFailure = 0,  // there was no N-th allocation in the load
    kLoadedDespiteTheFailure = 10,
    kNotLoaded = 11,  // dlopen reported the failure
    kDefaultBookNotFound = 12,
    kMisused = 13,
    // glibc's loader ends the process so, printing "out of memory", when
    // memory runs out as it binds libstdc++'s unique symbols, which it does
    // when the library brings libstdc++ into a host without it.
    kLoaderGaveUp = 127,
};

}  // namespace vesnik::test

#endif
