// The libFuzzer entry: every input is a book and what to ask it; any answer
// of the engine that differs from the plain reading stops the run.
#include <cstdio>
#include <cstdlib>

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    auto const input = vesnik::fuzz::decode(data, size);
    if (auto const difference = vesnik::fuzz::differenceFor(input)) {
        std::fprintf(stderr, "engine and plain reading differ: %s\n", difference->c_str());
        std::abort();
    }
    return 0;
}
