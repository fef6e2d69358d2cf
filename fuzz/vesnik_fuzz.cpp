// The libFuzzer entry: every input is a book and keys; any answer of the
// library that differs from the plain reading stops the run.
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzInput.h"

namespace {

// One file per fuzzing process, rewritten for every input.
std::string const& bookPath() {
    static std::string const path = (std::filesystem::temp_directory_path() /
                                     ("vesnik-fuzz-" + std::to_string(::getpid()) + ".cdir"))
                                        .string();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    auto const input = vesnik::fuzz::decode(data, size);
    if (auto const difference = vesnik::fuzz::differenceFor(input, bookPath())) {
        std::fprintf(stderr, "library and plain reading differ: %s\n", difference->c_str());
        std::abort();
    }
    return 0;
}
