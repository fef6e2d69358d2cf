// Every exported lookup against the plain reading in tests/reference, over
// generated address books and over the fuzzer's seeds and findings.
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "reference/Differences.h"
#include "reference/ReferenceBook.h"
#include "support/GeneratedBook.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;
using namespace std::string_literals;

void expectSameAnswers(std::string const& path, std::vector<std::string> const& keys) {
    if (auto const difference = ref::firstDifference(path, keys)) {
        ADD_FAILURE() << *difference;
    }
}

// Some of a book's e-mails and identifiers, and near misses of them.
std::vector<std::string> keysFor(ref::Book const& book, std::mt19937& random) {
    std::set<std::string> keys = {"", "K1", "ann@x.org", "ANN@X.ORG", "\xc9@x"};
    std::vector<std::string> columns;
    for (Fields const& record : *book) {
        for (Field const& column : {record[2], record[3]}) {
            if (column) {
                columns.push_back(*column);
            }
        }
    }
    for (std::size_t i = 0; i < 3 && !columns.empty(); ++i) {
        std::string const& column = columns[random() % columns.size()];
        std::string otherCase = column;
        for (char& c : otherCase) {
            c = std::isalpha(static_cast<unsigned char>(c)) ? static_cast<char>(c ^ 0x20) : c;
        }
        keys.insert({column, column.substr(1), column.substr(0, column.size() - 1), otherCase,
                     column + "\r", column + ",", " " + column});
    }
    return {keys.begin(), keys.end()};
}

class Differential : public ::testing::Test {
  protected:
    std::string write(std::string const& bytes) const { return dir_.write("book.cdir", bytes); }

    TempDir dir_;
};

TEST_F(Differential, GeneratedBooks) {
    for (std::string const& unopenable :
         {(dir_.path() / "missing").string(), dir_.path().string()}) {
        expectSameAnswers(unopenable, {"K1", "ann@x.org"});
    }
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string const path = write(generatedBook(random));
        expectSameAnswers(path, keysFor(ref::readBook(path), random));
    }
}

// The fuzzer's seed corpus and the inputs it found faults with, each asked as
// the fuzzer asks them.
TEST(FuzzRegression, EveryKeptInputGivesTheAnswersOfThePlainReading) {
    TempDir const dir;
    std::string const book = dir.write("book.cdir", "");
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
            auto const difference =
                fuzz::differenceFor(fuzz::decode(bytes.data(), bytes.size()), book);
            EXPECT_FALSE(difference) << entry.path().string() << ": " << *difference;
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0u) << "no inputs under " << VESNIK_FUZZ_DIRECTORY;
}

}  // namespace
}  // namespace vesnik::test
