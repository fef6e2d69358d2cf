// Every lookup of every front door against the plain reading in
// tests/reference: the engine's queries in memory, the C interface's lookups
// and the six functions over files.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "reference/Differences.h"
#include "reference/ReferenceBook.h"
#include "support/GeneratedBook.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;
using namespace std::string_literals;

// Keys that some lines hold, and near misses of them.
std::vector<std::string> const kKeys = {"",          "K1",       "k1",     "K7",   "ann@x.org",
                                        "Ann@X.org", "ann@x.or", "\xc9@x", "K1\r", "c@d"};
std::vector<std::string> const kTexts = {"",     " \t ", "zz",    "ab,ab",
                                         "\xe9", "\xc9", "K1 ab", "AB\r"};

void expectSameAnswers(TempDir const& dir, std::string const& bytes,
                       std::vector<std::string> const& texts, std::uint32_t seed) {
    auto const asks = ref::asksFor(ref::readBytes(bytes), kKeys, texts, seed);
    auto difference = ref::firstEngineDifference(bytes, asks);
    if (!difference) {
        difference = ref::firstFileDifference(dir.write("book.cdir", bytes), asks);
    }
    EXPECT_FALSE(difference) << *difference;
}

TEST(Differential, GeneratedBooks) {
    TempDir const dir;
    for (std::string const& unopenable : {(dir.path() / "missing").string(), dir.path().string()}) {
        auto const difference =
            ref::firstFileDifference(unopenable, ref::asksFor({}, kKeys, kTexts, 0));
        EXPECT_FALSE(difference) << *difference;
    }
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        expectSameAnswers(dir, generatedBook(random), kTexts, seed);
    }
}

// Shapes that generated books hold too rarely: columns about a sixteen-byte
// block long; a long fifth column with more after it; a CR or a NUL in the
// file's last line; lines, and a run of NULs, longer than a read and than a
// block, one with a NUL past the first read.
TEST(Differential, AwkwardBooks) {
    TempDir const dir;
    std::string const blocks = std::string(15, 'a') + "," + std::string(16, 'b') + "," +
                               std::string(17, 'c') + "," + std::string(31, 'd') + "\t" +
                               std::string(32, 'e') + "\n";
    for (std::string const& book :
         {blocks + "\t" + blocks + ",K1," + blocks,
          "a,b,c@d,K1," + std::string(595, 'n') + ",x,y,tail@example.org,K9\nf,g\n",
          "a\rb,c\nK1,b,c@d,K1\r"s, "a\nb,c@d\0K1"s,
          "a,b,c," + std::string(300000, 'y') + ",z\n" + std::string(20000, 'x') +
              ",y\0,K7\nf,g,h,K7\n"s,
          std::string(300000, '\0') + "\nid,x,c@d,K1\n"}) {
        SCOPED_TRACE(book.substr(0, 40));
        expectSameAnswers(dir, book, kTexts, 1);
    }
}

// Books where a search could go wrong, with a text for each.
TEST(Differential, Searches) {
    TempDir const dir;
    std::string const miss = std::string(999, 'a') + "b";
    std::string const z(16, 'z');
    std::string const Z(16, 'Z');
    std::pair<std::string, std::string> const cases[] = {
        {"Quist,Ada,a@q.net,K1\nQuist,Bo,bo@q.net,K2\n", "ada QUIST"},
        {"x,Bo,bo@q.net,K1\nx,y,bo@Q.net,K2\n", "Q.NET bo"},
        {"A,B,c@d,K1,note\n", "K1 note"},  // identifier and field5 are not searched
        {"ab,cd,e@f,K1\n", "bc"},          // a word does not span fields
        {"a,b,c,K1\n", "a,b"},
        {"\xe9t\xe9,b,c,K1\n\xc9T\xc9,b,c,K2\n", "\xc9t\xc9"},  // folded in ASCII only
        {"a,b,c,K1\n,,\nd,e,f,K2\n", " \t "},
        {miss + ",x,y,K1\na" + miss + ",x,y,K2\n" + miss + ",x,y,K3\n", std::string(1000, 'A')},
        {"aabaaabaab,x,y,K1\naabaaabaa,x,y,K2\n", "AABAAB"},  // KMP's inner border
        // Sixteen bytes compared at once, the word in the unsearched field5
        // making a line to check.
        {"pa\xe9" + z + ",x,y,K1,pa\xc9" + z + "\npa\xc9" + z + ",x,y,K2\n", "PA\xc9" + Z},
        {"p`" + z + ",x,y,K1\np@" + z + ",x,y,K2\n", "P@" + Z},
    };
    for (auto const& [book, text] : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        expectSameAnswers(dir, book, {text}, 1);
    }
}

}  // namespace
}  // namespace vesnik::test
