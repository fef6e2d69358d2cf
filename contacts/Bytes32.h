// Thirty-two bytes compared at once, where the processor has AVX2: chosen
// when the library loads, so that one build runs on every x86-64 processor.
// A scan passes over the blocks where two probes cannot both match, and goes
// on sixteen bytes at a time from the first where they may.
#ifndef VESNIK_CONTACTS_BYTES32_H
#define VESNIK_CONTACTS_BYTES32_H

#include <cstddef>

namespace vesnik::bytes32 {

inline constexpr std::size_t kWidth = 32;

// A byte at offset from a block's start matches when, OR-ed with foldBits,
// it is wanted.
struct Probe {
    std::size_t offset;
    unsigned char foldBits;
    unsigned char wanted;
};

// Whether scans use wide blocks: where the processor has them, unless a
// test turned them off so as to run the sixteen-byte path alone.
bool enabled();
void setEnabled(bool wanted);

// The first of position, position + 32, ... whose block holds a place where
// both probes match (and which holds one of separators, when given), or the
// first with fewer than the farthest probe's offset + 32 bytes before end.
// position itself when wide blocks are off.
char const* skipToPair(char const* position, char const* end, Probe const& first,
                       Probe const& second, char const* separators = nullptr);

}  // namespace vesnik::bytes32

#endif
