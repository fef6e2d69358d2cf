#include "Timing.h"

#include <algorithm>
#include <thread>

namespace vesnik::bench {

double median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0;
    }
    auto const upper = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), upper, samples.end());
    if (samples.size() % 2 != 0) {
        return *upper;
    }
    double const lower = *std::max_element(samples.begin(), upper);
    return (lower + *upper) / 2;
}

double medianSecondsPerCall(int samples, int callsPerSample,
                            std::function<double()> const& timedCall) {
    std::vector<double> perCall;
    for (int sample = 0; sample < samples; ++sample) {
        double total = 0;
        for (int made = 0; made < callsPerSample; ++made) {
            total += timedCall();
        }
        perCall.push_back(total / callsPerSample);
    }
    return median(perCall);
}

double secondsForThreads(int threads, int calls, std::function<void()> const& call) {
    auto const start = std::chrono::steady_clock::now();
    std::vector<std::thread> running;
    for (int started = 0; started < threads; ++started) {
        running.emplace_back([&] {
            for (int made = 0; made < calls; ++made) {
                call();
            }
        });
    }
    for (std::thread& thread : running) {
        thread.join();
    }
    std::chrono::duration<double> const taken = std::chrono::steady_clock::now() - start;
    return taken.count();
}

}  // namespace vesnik::bench
