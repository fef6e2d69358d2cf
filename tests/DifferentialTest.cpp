// Every lookup of every front door against the plain reading in
// tests/reference: the engine's queries in memory, the C interface's lookups
// and the six functions over files.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <thread>
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
// Many words are looked for at once: some inside others, ending together.
std::vector<std::string> const kTexts = {"",
                                         " \t ",
                                         "zz",
                                         "ab,ab",
                                         "\xe9",
                                         "\xc9",
                                         "K1 ab",
                                         "AB\r",
                                         "k1 K A b 1 x ab",
                                         "aab ab b aaab a ba x",
                                         "ab b a K k 1 \xe9 zz"};

// The engine in memory and, at the same time on another thread (hosts may
// call from any thread at once), every front door over the file.
void expectSameAnswers(TempDir const& dir, std::string const& bytes,
                       std::vector<std::string> const& texts, std::uint32_t seed) {
    auto const asks = ref::asksFor(ref::readBytes(bytes), kKeys, texts, seed);
    std::string const path = dir.write("book.cdir", bytes);
    std::optional<std::string> fileDifference;
    std::thread files([&] { fileDifference = ref::firstFileDifference(path, asks); });
    auto const difference = ref::firstEngineDifference(bytes, asks);
    files.join();
    EXPECT_FALSE(difference) << *difference;
    EXPECT_FALSE(fileDifference) << *fileDifference;
}

// A book named by any path, or by one that names none: a missing file, a
// folder, the empty path, a path too long to open, a file that opens but
// fails its first read (on Linux); a long path that opens, a Latin-1 name.
TEST(Differential, AnyPath) {
    TempDir const dir;
    std::string const base = dir.path().string();
    // Through as many "." folders as it takes.
    auto const through = [&](std::size_t length) {
        std::string path = base;
        while (path.size() < length - 10) {
            path += "/.";
        }
        return path + "/book.cdir";
    };
    std::string const bytes = "Ann,Lee,ann@x.org,K1\n";
    dir.write("book.cdir", bytes);
    std::string const latin1 = dir.write("carnet \xe9t\xe9.cdir", bytes);
    for (std::string const& path : {base + "/missing", base, ""s, through(5000), through(70000),
                                    "/proc/self/mem"s, through(200), latin1}) {
        SCOPED_TRACE(path.size() < 300 ? path : std::to_string(path.size()) + " bytes");
        auto const difference =
            ref::firstFileDifference(path, ref::asksFor(ref::readBytes(bytes), kKeys, kTexts, 0));
        EXPECT_FALSE(difference) << *difference;
    }
}

TEST(Differential, GeneratedBooks) {
    TempDir const dir;
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        expectSameAnswers(dir, generatedBook(random), kTexts, seed);
    }
}

// Shapes that generated books hold too rarely: columns about a sixteen-byte
// block long; a long fifth column with more after it; a CR or a NUL in the
// file's last line; lines, and a run of NULs, longer than a read and than a
// block, one with a NUL past the first read; and lines where a search could
// go wrong, with the texts for them.
TEST(Differential, AwkwardBooks) {
    TempDir const dir;
    std::string const blocks = std::string(15, 'a') + "," + std::string(16, 'b') + "," +
                               std::string(17, 'c') + "," + std::string(31, 'd') + "\t" +
                               std::string(32, 'e') + "\n";
    std::string const miss = std::string(999, 'a') + "b";
    std::string const z(16, 'z');
    std::string const Z(16, 'Z');
    std::string const searched =
        "Quist,Ada,a@q.net,K1\nQuist,Bo,bo@q.net,K2\nx,y,bo@Q.net,K3,note\nab,cd,e@f,K4\n,,\n"
        "\xe9t\xe9,b,c,K5\n\xc9T\xc9,b,c,K6\n" +
        miss + ",x,y,K7\na" + miss +
        ",x,y,K8\n"
        "aabaaabaab,x,y,K9\naabaaabaa,x,y,K10\n"
        // Sixteen bytes compared at once, the word in the unsearched field5
        // making a line to check.
        "pa\xe9" +
        z + ",x,y,K11,pa\xc9" + z + "\npa\xc9" + z + ",x,y,K12\np`" + z + ",x,y,K13\np@" + z +
        ",x,y,K14\n" + std::string(200, 'y') + "abz,x,k1,K16\nabz,x,k1,K15\n";
    std::vector<std::string> const texts = {
        "ada QUIST",   "Q.NET bo",   "K1 note", "bc",
        "a,b",         "\xc9t\xc9",  " \t ",    std::string(1000, 'A'),
        "AABAAB",      "PA\xc9" + Z, "P@" + Z,  "ada Quist a q . @ net QUIST",
        "b y x c , q", "abz b x k 1"};
    for (std::string const& book :
         {blocks + "\t" + blocks + ",K1," + blocks,
          "a,b,c@d,K1," + std::string(595, 'n') + ",x,y,tail@example.org,K9\nf,g\n",
          "a\rb,c\nK1,b,c@d,K1\r"s, "a\nb,c@d\0K1"s,
          "a,b,c," + std::string(300000, 'y') + ",z\n" + std::string(20000, 'x') +
              ",y\0,K7\nf,g,h,K7\n"s,
          std::string(300000, '\0') + "\nid,x,c@d,K1\n", searched}) {
        SCOPED_TRACE(book.substr(0, 40));
        expectSameAnswers(dir, book, book == searched ? texts : kTexts, 1);
    }
}

}  // namespace
}  // namespace vesnik::test
