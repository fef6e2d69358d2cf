// The extra peak memory of a whole-file scan, measured in a child process of
// its own so that the benchmark's allocations (a generated book's lines, the
// results of earlier lookups) are not counted.
#ifndef VESNIK_BENCH_PEAKMEMORY_H
#define VESNIK_BENCH_PEAKMEMORY_H

#include <optional>
#include <string>

namespace vesnik::bench {

// The option that makes vesnik-bench the child.
inline constexpr char kMeasureMemoryOption[] = "--measure-memory";

// In the child: runs the keyed lookups that match nothing on book and prints
// how far they raised the peak resident size, in KiB.
int printScanPeakGrowth(std::string const& book);

// In the parent: runs this program as that child; the KiB it printed, or
// nothing when it failed.
std::optional<long> scanPeakGrowthKiB(std::string const& book);

}  // namespace vesnik::bench

#endif
