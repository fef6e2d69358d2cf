// Every exported lookup against the plain reading in tests/reference, over
// generated address books, over layouts where a scanner that reads in
// blocks, and searches a block for the key before splitting it into lines,
// could go wrong, and over the fuzzer's seeds and findings.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;
using namespace std::string_literals;

// The library's reads: the first takes 8 KiB and each next one twice as much,
// up to blocks of 128 KiB.
constexpr std::size_t kFixedReadEnds[] = {8 * 1024, (8 + 16 + 32 + 64) * 1024};

void expectSameAnswers(std::string const& path, std::vector<std::string> const& keys) {
    if (auto const difference = ref::firstDifference(path, keys)) {
        ADD_FAILURE() << *difference;
    }
}

// Address books from a seed: lines of whole keys, fragments of keys and the
// same in other letter case, CRs and NULs, between runs of separators, with
// every kind of line end; the last line without one at times.
std::string generatedBook(std::mt19937& random) {
    static std::string const kPieces[] = {
        "K1",       "k1", "ann@x.org", "ANN@X.ORG", "Ann@x.Org", "K",  "1",   "K1K1", "ann@x.or",
        "nn@x.org", "x",  " ",         "\xe9@x",    "\xc9@X",    "\r", "\0"s, "",     ""};
    static std::string const kSeparators[] = {",", "\t", ",", "\t", ",\t", "\t,,", "", "", ""};
    static std::string const kEnds[] = {"\n", "\n", "\r\n", "\r\r\n", "\0\n"s, ""};
    std::string book;
    for (auto lines = random() % 16; lines > 0; --lines) {
        for (auto pieces = random() % 12; pieces > 0; --pieces) {
            book += kSeparators[random() % std::size(kSeparators)] +
                    kPieces[random() % std::size(kPieces)];
        }
        book += kEnds[random() % std::size(kEnds)];
    }
    return book;
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

// Appends whole lines of records until book is size bytes long.
void fillTo(std::string& book, std::size_t size) {
    static std::string const kLine = "f1,f2,f@x,fid,f5," + std::string(1000, 'w');
    while (book.size() < size) {
        std::size_t const length = std::min(size - book.size(), kLine.size() + 1);
        book.append(kLine, 0, length - 1).append("\n");
    }
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

TEST_F(Differential, LinesAroundReadEnds) {
    // Whether each line matches hangs on the bytes next to its key: the last
    // line has no LF, and ends in a CR (data) every other time.
    std::string const cluster =
        "n,m,x@y\0,Mail@Box.org,K7\n"s  // after a NUL: no columns there
        "a,b,Mail@Box.org,K7\r\n"
        "c,d,xMail@Box.org,K7X,K7\n"  // superstrings; K7 as field5
        "e,f,MAIL@BOX.ORG\r,K7\r,e\r\n"
        "g\th\tmAiL@bOx.OrG\tK7";
    // A read ends on every byte of the cluster, and just outside it.
    for (std::size_t const readEnd : kFixedReadEnds) {
        for (std::size_t before = readEnd + 8; before + cluster.size() + 8 >= readEnd; --before) {
            SCOPED_TRACE("cluster at " + std::to_string(before));
            std::string book;
            fillTo(book, before);
            expectSameAnswers(write(book + cluster + (before % 2 == 0 ? "" : "\r")),
                              {"K7", "K7\r", "mail@box.org"});
            if (HasFailure()) {
                return;
            }
        }
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
