// Every lookup of every front door against the plain reading in
// tests/reference: the engine's queries in memory, the C interface's lookups
// and the six functions over files.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Bytes32.h"
#include "MemorySource.h"
#include "Query.h"
#include "UnicodeFolds.h"
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
std::vector<std::string> const kTexts = {"", " \t ", "zz", "ab,ab", "\xe9", "\xc9", "K1 ab", "AB\r",
                                         "k1 K A b 1 x ab", "aab ab b aaab a ba x",
                                         "ab b a K k 1 \xe9 zz",
                                         // Texts that fold: marks, other scripts, wide spaces.
                                         "muller", "M\xc3\x9c", "strasse lodz",
                                         "ss\xe3\x80\x80"
                                         "ada",
                                         "\xcc\x88", "\xcf\x83", "o'brien",
                                         "a\xef\xbc\x8c"
                                         "b",
                                         "fi\xc2\xa0\xc3\x9f", "1/2"};

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
    std::vector<std::string> paths = {base + "/missing", base,         ""s,
                                      "/proc/self/mem"s, through(200), latin1};
#ifndef _WIN32
    // Windows' byte-string file functions take paths up to MAX_PATH only,
    // which its own programs may exceed.
    paths.insert(paths.end(), {through(5000), through(70000)});
#endif
    for (std::string const& path : paths) {
        SCOPED_TRACE(path.size() < 300 ? path : std::to_string(path.size()) + " bytes");
        auto const difference =
            ref::firstFileDifference(path, ref::asksFor(ref::readBytes(bytes), kKeys, kTexts, 0));
        EXPECT_FALSE(difference) << *difference;
    }
}

TEST(Differential, GeneratedBooks) {
    TempDir const dir;
    for (std::uint32_t seed = 1; seed <= VESNIK_GENERATED_BOOKS && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        // Wide blocks, where the processor has them, and sixteen-byte blocks
        // alone, in turn.
        bytes32::setEnabled(seed % 2 == 0);
        expectSameAnswers(dir, generatedBook(random), kTexts, seed);
        bytes32::setEnabled(true);
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

// Names as people write them, and the traps of folding, each a line and a
// text that must or must not find it with the C interface's flags (1 case, 2
// marks, 3 both): the engine and the plain reading alike.
TEST(Differential, FoldedSearchFindsNamesAsPeopleWriteThem) {
    std::string marks;
    for (int i = 0; i < 500000; ++i) {
        marks += "\u0308";
    }
    std::string sharpS;
    for (int i = 0; i < 100000; ++i) {
        sharpS += "\u00df";
    }
    struct Case {
        unsigned flags;
        std::string text;
        std::string line;
        bool found;
    } const cases[] = {
        {3, "muller", "M\u00fcller,Hans,h@x", true},
        {3, "muller", "Mu\u0308ller,Hans,h@x", true},
        {3, "mu\u0308ller", "M\u00fcller,Hans,h@x", true},
        {3, "zoe", "Zo\u00eb,x,z@x", true},
        {3, "\u0418\u0412\u0410\u041d\u041e\u0412", "\u0418\u0432\u0430\u043d\u043e\u0432,x,i@x",
         true},
        {3, "strasse", "Stra\u00dfe,x,s@x", true},
        {3, "\u00df", "STRASSE,x,s@x", true},
        {3, "\u03c3\u03b9\u03c3\u03c5\u03c6\u03bf\u03c2",
         "\u03a3\u038a\u03a3\u03a5\u03a6\u039f\u03a3,x,s@x", true},
        {3, "fish", "\ufb01sh,x,f@x", true},
        {3, "ada", "\uff21\uff24\uff21,x,a@x", true},
        {3, "alvaro istanbul", "\u00c1lvaro,\u0130stanbul,a@x", true},
        {3, "\u0435\u043b\u043a\u0430", "\u0401\u043b\u043a\u0430,x,e@x", true},
        {3, "lodz orsted thor", "\u0141\u00f3d\u017a \u00d8rsted,\u00de\u00f3r,l@x", true},
        {3, "aesa oeuvre dorde hal", "\u00c6sa \u0152uvre,\u0110or\u0111e \u0126al,d@x", true},
        {3, "o'brien", "O\u2019Brien,Pat,p@x", true},
        {3, "dzungla", "\u01c4UNGLA,x,d@x", true},  // a fold longer than its code point
        {3, "abcdefghijklmnoss", "abcdefghijklmno\u00df,x,a@x", true},  // \u00df across 16 bytes
        {3, "muller", "Wolfgang Schmidt-M\u00fcller,x,w@x", true},      // past 16 bytes
        {3, "ivanov", "\u0418\u0432\u0430\u043d\u043e\u0432\u0438\u0447\u0435\u0432,x,IVANOV@x",
         true},
        {3, "ivan", "Iv,an\u00e9,x@y", false},   // letters of one word in two fields
        {3, "\u0308", "Bo,x,b@x", true},         // a mark alone folds to nothing: no word
        {3, "a\u0308", "Mueller,x,m@x", false},  // but with a letter it is that letter
        {3, "mu", "M\u00fc\xc3,x,m@x", true},    // a sequence cut by the field's end
        {3, "\u00fc", "M\xc3,x,m@x", false},
        {3, "mu\xc3", "M\u00fc\xc3,x,m@x", true},
        {3, "\xc0\xaf",
         "a\xc0\xaf"
         "b,x,a@x",
         true},  // overlong and surrogate forms as bytes
        {3, "a", "\xc1\x81,x,b@y", false},
        {3, "\u1112", "\ud7a3,x,h@x", true},  // a Hangul syllable, decomposed
        {3, "/",
         "a\xc0\xaf"
         "b,x,a@x",
         false},
        {3, "\xed\xa0\x80", "\xed\xa0\x80,x,a@x", true},
        {3, "ller", "M\xfcller,x,m@x", true},  // Latin-1 as bytes
        {3, "m\u00fcller", "M\xfcller,x,m@x", false},
        {3, "ada\u00a0quist", "Quist,Ada,q@x", true},  // wide spaces part words
        {3, "a,b", "a,b,x@y", false},                  // no word spans two fields
        {3,
         "a\uff0c"
         "b",
         "a\uff0c"
         "b,x,a@x",
         true},
        {3, "a,b",
         "a\uff0c"
         "b,x,a@x",
         true},
        {3, "note", "A,B,c@d,K1,note", false},  // field5 is not searched
        {0, "muller", "M\u00fcller,x,m@x", false},
        {1, "m\u00fcller", "M\u00dcLLER,x,m@x", true},
        {1, "muller", "M\u00fcller,x,m@x", false},
        {2, "muller", "M\u00dcLLER,x,m@x", true},
        {2, "strasse", "Stra\u00dfe,x,s@x", false},
        {2, "o'brien", "O\u2019Brien,x,o@x", false},
        // Linear whatever the input: a field of marks, a word of \u00df.
        {3, "ab", "a" + marks + "b,x,a@x", true},
        {3, sharpS, std::string(200000, 's') + ",x,a@x", true},
        {3, sharpS + "s", std::string(200000, 'S') + ",x,a@x", false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.flags) + " " + c.text.substr(0, 40) + " in " +
                     c.line.substr(0, 40));
        std::string const book = c.line + "\n";
        CodePointFolds const* const folds =
            c.flags != 0 ? &capi::unicodeFolds(static_cast<capi::FoldMode>(c.flags)) : nullptr;
        MemorySource source(book);
        bool found = false;
        runQuery(source, Query::of(QueryKind::kSearch, {c.text}, 0, folds), [&](Match const&) {
            found = true;
            return true;
        });
        EXPECT_EQ(found, c.found) << "engine";
        ref::Ask const ask{ref::Lookup::kSearch, {c.text}, 0, c.flags};
        EXPECT_EQ(!ref::answer(ask, ref::readBytes(book)).empty(), c.found) << "plain reading";
    }
}

}  // namespace
}  // namespace vesnik::test
