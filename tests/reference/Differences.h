// The one driver that compares the library with the plain reading: the
// engine's queries over bytes in memory, the C interface's lookups and the
// six functions over files, each answer told apart from the reference's at
// the first place they differ.
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

// Each ask put to the engine over bytes, each read another way (a few bytes
// at a time, interrupted, breaking off), and to the plain reading of them.
std::optional<std::string> firstEngineDifference(std::string const& bytes,
                                                 std::vector<Ask> const& asks);

// Each ask put to the C interface and, without a limit, to the six functions
// that answer it, over the file at path; and null keys to the six. A book
// that cannot be opened must fail every lookup.
std::optional<std::string> firstFileDifference(std::string const& path,
                                               std::vector<Ask> const& asks);

}  // namespace vesnik::reference

#endif
