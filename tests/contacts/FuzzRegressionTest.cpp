// The fuzzer's seed corpus and the inputs it found faults with, each asked
// of the library and of the plain reading as the fuzzer asks them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "support/TempFiles.h"

namespace vesnik::fuzz {
namespace {

TEST(FuzzRegression, EveryKeptInputGivesTheAnswersOfThePlainReading) {
    test::TempDir const dir;
    std::string const book = (dir.path() / "book.cdir").string();
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
            auto const difference = differenceFor(decode(bytes.data(), bytes.size()), book);
            EXPECT_FALSE(difference) << entry.path().string() << ": " << *difference;
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0u) << "no inputs under " << VESNIK_FUZZ_DIRECTORY;
}

}  // namespace
}  // namespace vesnik::fuzz
