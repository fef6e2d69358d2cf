// The one driver that compares the library with the plain reading: the
// engine's queries over bytes in memory, the C interface's lookups and the
// six functions over files, each answer spelled out and told apart from the
// reference's at the first place they differ.
#ifndef VESNIK_TESTS_REFERENCE_DIFFERENCES_H
#define VESNIK_TESTS_REFERENCE_DIFFERENCES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reference/ReferenceBook.h"

namespace vesnik::reference {

// The asks worth making of a book: every record and every identifier; as an
// identifier and as an e-mail, each of keys and of some of the book's own
// e-mails and identifiers (picked by seed) with near misses of them (cut
// short, in the other letter case, with a CR, a separator or a space); all
// of those at once as identifiers, each twice, and none; as searches, texts
// and pieces of the book's fields, letter case changed here and there,
// between runs of spaces and TABs, each with no fold and with each of the C
// interface's folds. Each with no limit and
// stopping at the first, second and third match; or, where time is short (a fuzzer's), fewer of the
// book's own and one limit picked by seed.
enum class Breadth { kWide, kNarrow };
std::vector<Ask> asksFor(Records const& records, std::vector<std::string> const& keys,
                         std::vector<std::string> const& texts, std::uint32_t seed,
                         Breadth breadth = Breadth::kWide);

// Each ask put to the engine over bytes, and to the plain reading of them.
std::optional<std::string> firstEngineDifference(std::string const& bytes,
                                                 std::vector<Ask> const& asks);

// Each ask that the C interface can make, put to it over the file at path;
// a book that cannot be opened must fail every lookup so.
std::optional<std::string> firstCInterfaceDifference(std::string const& path,
                                                     std::vector<Ask> const& asks);

// The six functions over the file at path: every contact; each key, and a
// null one, as an identifier and an e-mail; all keys at once as a list, each
// twice; each of keyLists as a list; a null and an empty list.
std::optional<std::string> firstDifference(
    std::string const& path, std::vector<std::string> const& keys,
    std::vector<std::vector<std::string>> const& keyLists = {});

}  // namespace vesnik::reference

#endif
