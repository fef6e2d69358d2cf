// The floors: the least any scan of a file must do. A lookup's figure is read
// against them, so that it says how much the lookup adds to reading the bytes.
#ifndef VESNIK_BENCH_FLOORS_H
#define VESNIK_BENCH_FLOORS_H

#include <cstddef>
#include <optional>

#include "LibraryResults.h"

namespace vesnik::bench {

// Opens the file, reads all of it into a 128 KiB buffer and closes it; the
// bytes read, or nothing when the file cannot be read.
std::optional<std::size_t> readWholeFile(char const* path);

// The same, and finds every LF with memchr; the number of LFs.
std::optional<std::size_t> countLineFeeds(char const* path);

// The same, and keeps a malloc copy of the first bytes of every line (up to
// eight, an identifier's length) in a heap vector: the least a lookup that
// lists every contact must do.
tool::LibraryIdList copyEveryLine(char const* path);

}  // namespace vesnik::bench

#endif
