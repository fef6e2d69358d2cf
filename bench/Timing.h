// The clock: one call timed, the median of several samples, and threads
// calling at once.
#ifndef VESNIK_BENCH_TIMING_H
#define VESNIK_BENCH_TIMING_H

#include <chrono>
#include <functional>
#include <vector>

namespace vesnik::bench {

// Seconds one call takes. What it returns is released after the clock stops:
// the figure is the lookup's, not the caller's freeing of the answer.
template <typename Call>
double secondsOfCall(Call const& call) {
    auto const start = std::chrono::steady_clock::now();
    [[maybe_unused]] auto const answer = call();
    std::chrono::duration<double> const taken = std::chrono::steady_clock::now() - start;
    return taken.count();
}

double median(std::vector<double> samples);

// The median, over `samples` samples of `callsPerSample` calls each, of the
// seconds one call takes; timedCall makes one call and gives its seconds.
double medianSecondsPerCall(int samples, int callsPerSample,
                            std::function<double()> const& timedCall);

// Wall-clock seconds for `threads` threads that each make `calls` calls at
// once.
double secondsForThreads(int threads, int calls, std::function<void()> const& call);

}  // namespace vesnik::bench

#endif
