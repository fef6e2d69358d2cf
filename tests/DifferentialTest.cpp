// Every lookup of every front door against the plain reading in
// tests/reference, over generated address books: the engine's queries in
// memory, the C interface's lookups and the six functions over files.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "MatchTier.h"
#include "MemorySource.h"
#include "Query.h"
#include "SearchWords.h"
#include "UnicodeFolds.h"
#include "reference/Differences.h"
#include "reference/ReferenceBook.h"
#include "support/GeneratedBook.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;

void expectNoDifference(std::optional<std::string> const& difference) {
    if (difference) {
        ADD_FAILURE() << *difference;
    }
}

// Keys that some generated lines hold, and near misses of them.
std::vector<std::string> const kKeys = {"",          "K1",       "k1",     "ann@x.org",
                                        "Ann@X.org", "ann@x.or", "\xc9@x", "K1\r"};
std::vector<std::string> const kTexts = {"",
                                         " \t ",
                                         "zz",
                                         "ab,ab",
                                         "\xe9",
                                         "\xc9",
                                         "K1 ab",
                                         "AB\r",
                                         "muller",
                                         "M\xc3\x9c",
                                         "strasse lodz",
                                         "ss\xe3\x80\x80"
                                         "ada",
                                         "\xcc\x88",
                                         "\xcf\x83",
                                         "o'brien",
                                         "a\xef\xbc\x8c"
                                         "b",
                                         "fi\xc2\xa0\xc3\x9f",
                                         "1/2"};

TEST(Differential, GeneratedBooks) {
    TempDir const dir;
    for (std::string const& unopenable : {(dir.path() / "missing").string(), dir.path().string()}) {
        expectNoDifference(ref::firstDifference(unopenable, kKeys));
        expectNoDifference(
            ref::firstCInterfaceDifference(unopenable, ref::asksFor({}, kKeys, kTexts, 0)));
    }
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string const bytes = generatedBook(random);
        std::string const path = dir.write("book.cdir", bytes);
        auto const asks = ref::asksFor(ref::readBytes(bytes), kKeys, kTexts, seed);
        expectNoDifference(ref::firstEngineDifference(bytes, asks));
        expectNoDifference(ref::firstCInterfaceDifference(path, asks));
        std::vector<std::string> keys;
        for (ref::Ask const& ask : asks) {
            if (ask.lookup == ref::Lookup::kEmail && ask.limit == 0) {
                keys.push_back(ask.keys[0]);
            }
        }
        expectNoDifference(ref::firstDifference(path, keys));
    }
}

// Books where a search could go wrong, with the identifiers it must find:
// these hold whatever the plain reading says.
TEST(Differential, SearchFindsWhatItMust) {
    std::string const miss = std::string(999, 'a') + "b";
    std::string const z(16, 'z');
    std::string const Z(16, 'Z');
    struct Case {
        std::string book;
        std::string text;
        std::vector<std::string> ids;
    } const cases[] = {
        {"Quist,Ada,a@q.net,K1\nQuist,Bo,bo@q.net,K2\n", "ada QUIST", {"K1"}},
        {"x,Bo,bo@q.net,K1\nx,y,bo@Q.net,K2\n", "Q.NET bo", {"K1", "K2"}},
        {"A,B,c@d,K1,note\n", "K1 note", {}},  // identifier and field5 are not searched
        {"ab,cd,e@f,K1\n", "bc", {}},          // a word does not span fields
        {"a,b,c,K1\n", "a,b", {}},
        {"\xe9t\xe9,b,c,K1\n\xc9T\xc9,b,c,K2\n", "\xc9t\xc9", {"K2"}},  // folded in ASCII only
        {"a,b,c,K1\n,,\nd,e,f,K2\n", " \t ", {"K1", "", "K2"}},
        {miss + ",x,y,K1\na" + miss + ",x,y,K2\n" + miss + ",x,y,K3\n",
         std::string(1000, 'A'),
         {"K2"}},
        {"aabaaabaab,x,y,K1\naabaaabaa,x,y,K2\n", "AABAAB", {"K1"}},  // KMP's inner border
        // Sixteen bytes compared at once, the word in the unsearched field5
        // making a line to check.
        {"pa\xe9" + z + ",x,y,K1,pa\xc9" + z + "\npa\xc9" + z + ",x,y,K2\n", "PA\xc9" + Z, {"K2"}},
        {"p`" + z + ",x,y,K1\np@" + z + ",x,y,K2\n", "P@" + Z, {"K2"}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        MemorySource source(c.book);
        std::vector<std::string> ids;
        runQuery(source, Query::of(QueryKind::kSearch, {c.text}), [&](Match const& match) {
            ids.emplace_back(match.columns[kContactIdColumn]);
            return true;
        });
        EXPECT_EQ(ids, c.ids);
        expectNoDifference(ref::firstEngineDifference(
            c.book, ref::asksFor(ref::readBytes(c.book), {}, {c.text}, 1)));
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

// Each match's tier against the plain one, for texts cut from the book
// itself: a word at a word's start, inside one, or across a separator.
TEST(Differential, SearchTiers) {
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string const bytes = generatedBook(random) +
                                  "O'Brien-Ann,Zo\xc3\xab"
                                  "ann,ann.o@x,K\n";
        for (int i = 0; i < 8; ++i) {
            std::size_t const start = random() % bytes.size();
            std::string text = bytes.substr(start, 1 + random() % 4);
            text += i % 2 == 0 ? "" : " " + bytes.substr(random() % bytes.size(), 1 + random() % 3);
            SCOPED_TRACE(text);
            ref::Records const expected = *ref::search(text, ref::readBytes(bytes));
            TierJudge const judge(splitWords(text));
            std::size_t n = 0;
            MemorySource source(bytes);
            runQuery(source, Query::of(QueryKind::kSearch, {text}), [&](Match const& match) {
                EXPECT_EQ(static_cast<int>(judge.tierOf(match.columns)),
                          ref::searchTier(text, expected.at(n++)));
                return true;
            });
            EXPECT_EQ(n, expected.size());
        }
    }
}

}  // namespace
}  // namespace vesnik::test
