// A query over an address-book file named by its path: what both libraries'
// front doors run.
#ifndef VESNIK_CONTACTS_BOOKFILE_H
#define VESNIK_CONTACTS_BOOKFILE_H

#include <cstddef>
#include <cstdint>

#include "Query.h"

namespace vesnik {

// Runs query over the file at path, which is open only while this runs. When
// the file opens, onOpened is told its size (0 when it cannot be told) before
// the first match, so that a caller can make room once.
ScanOutcome runQueryOnFile(char const* path, Query const& query, OnMatch onMatch,
                           FunctionRef<void(std::uint64_t)> onOpened);
ScanOutcome runQueryOnFile(char const* path, Query const& query, OnMatch onMatch);

// A guess, from a book's size, at how many lines it holds, for a caller to
// make room for once; capped, so that a huge book of long lines does not make
// it take much memory in vain.
std::size_t expectedLines(std::uint64_t bookSize);

}  // namespace vesnik

#endif
