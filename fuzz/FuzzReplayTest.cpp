// The fuzzer's seed corpus and the inputs it found faults with, each asked
// as the fuzzer asks it, in every build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "FuzzInput.h"

namespace vesnik::fuzz {
namespace {

TEST(FuzzReplay, EveryKeptInputGivesTheAnswersOfThePlainReading) {
    std::size_t replayed = 0;
    for (char const* folder : {"corpus", "regressions"}) {
        auto const directory = std::filesystem::path(VESNIK_FUZZ_DIRECTORY) / folder;
        for (auto const& entry : std::filesystem::directory_iterator(directory)) {
            if (!entry.is_regular_file() || entry.path().filename() == "README.md") {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<std::uint8_t> const bytes{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
            auto const difference = differenceFor(decode(bytes.data(), bytes.size()));
            EXPECT_FALSE(difference) << entry.path().string() << ": " << *difference;
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0u) << "no inputs under " << VESNIK_FUZZ_DIRECTORY;
}

}  // namespace
}  // namespace vesnik::fuzz
