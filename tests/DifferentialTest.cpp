// Every lookup of every front door against the plain reading in
// tests/reference, over generated address books: the engine's queries in
// memory, the C interface's lookups and the six functions over files.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "Bytes32.h"
#include "MemorySource.h"
#include "Query.h"
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
std::vector<std::string> const kTexts = {"",     " \t ", "zz",    "ab,ab",
                                         "\xe9", "\xc9", "K1 ab", "AB\r"};

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
        std::vector<std::string> keys;
        for (ref::Ask const& ask : asks) {
            if (ask.lookup == ref::Lookup::kEmail && ask.limit == 0) {
                keys.push_back(ask.keys[0]);
            }
        }
        // With wide blocks, where the processor has them, and with
        // sixteen-byte blocks alone.
        for (bool const wide : {true, false}) {
            SCOPED_TRACE(wide ? "wide blocks" : "sixteen-byte blocks");
            bytes32::setEnabled(wide);
            expectNoDifference(ref::firstEngineDifference(bytes, asks));
            expectNoDifference(ref::firstCInterfaceDifference(path, asks));
            expectNoDifference(ref::firstDifference(path, keys));
        }
        bytes32::setEnabled(true);
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

}  // namespace
}  // namespace vesnik::test
