// The libFuzzer entry: every input is a book and keys; any answer of the
// library that differs from the plain reading stops the run.
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    // One file per fuzzing process, rewritten for every input.
    static std::string const path = (std::filesystem::temp_directory_path() /
                                     ("vesnik-fuzz-" + std::to_string(::getpid()) + ".cdir"))
                                        .string();
    auto const input = vesnik::fuzz::decode(data, size);
    if (auto const difference = vesnik::fuzz::differenceFor(input, path)) {
        std::fprintf(stderr, "library and plain reading differ: %s\n", difference->c_str());
        std::abort();
    }
    return 0;
}
