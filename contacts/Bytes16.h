// Sixteen bytes compared at once. The compiler's vector types become SSE2 or
// NEON instructions where the target has them and plain word operations
// elsewhere, so one source serves every build.
#ifndef VESNIK_CONTACTS_BYTES16_H
#define VESNIK_CONTACTS_BYTES16_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vesnik::bytes16 {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the first byte of a block must be the low byte of its mask");

inline constexpr std::size_t kWidth = 16;

using Block = unsigned char __attribute__((vector_size(kWidth)));

inline Block load(char const* bytes) {
    Block block;
    std::memcpy(&block, bytes, kWidth);
    return block;
}

inline Block splat(unsigned char c) {
    Block const zero = {};
    return zero + c;
}

// One bit per byte where a comparison held, the first byte lowest.
template <class Comparison>
std::uint32_t bitsOf(Comparison const& comparison) {
#if defined(__SSE2__)
    using Chars = char __attribute__((vector_size(kWidth)));
    return static_cast<std::uint32_t>(
        __builtin_ia32_pmovmskb128(reinterpret_cast<Chars const&>(comparison)));
#else
    // Gathers bit 7 of each of eight bytes into one byte, for either word.
    std::uint64_t words[2];
    std::memcpy(words, &comparison, kWidth);
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    constexpr std::uint64_t kGather = 0x0002040810204081u;
    return static_cast<std::uint32_t>(((words[0] & kHighBits) * kGather) >> 56 |
                                      (((words[1] & kHighBits) * kGather) >> 56) << 8);
#endif
}

// The byte positions where a comparison held (bit 7 of byte i), as one bit
// per position.
class Matches {
  public:
    template <class Comparison>
    explicit Matches(Comparison const& comparison) : bits_(bitsOf(comparison)) {}

    bool any() const { return bits_ != 0; }

    // Forgets the positions from count on.
    void keepFirst(std::size_t count) {
        if (count < kWidth) {
            bits_ &= (std::uint32_t{1} << count) - 1;
        }
    }

    // The first position, which is then cleared; only while any().
    std::size_t takeFirst() {
        auto const first = static_cast<std::size_t>(__builtin_ctz(bits_));
        bits_ &= bits_ - 1;
        return first;
    }

  private:
    std::uint32_t bits_;
};

// The most a classifier below may read past the start of its block.
inline constexpr std::size_t kMaxReach = 64;

// findEach over the last blocks of [position, end), fewer than reach bytes,
// classified in a copy padded with zeros so that nothing is read past end.
template <class Classify, class OnMatch>
char const* findEachInPaddedCopy(char const* position, char const* end, Classify const& classify,
                                 OnMatch& onMatch) {
    auto const rest = static_cast<std::size_t>(end - position);
    char padded[kMaxReach + kMaxReach] = {};
    std::memcpy(padded, position, rest);
    for (std::size_t offset = 0; offset < rest; offset += kWidth) {
        Matches matches = classify(padded + offset);
        matches.keepFirst(rest - offset);
        while (matches.any()) {
            char const* const at = position + offset + matches.takeFirst();
            if (!onMatch(at)) {
                return at;
            }
        }
    }
    return end;
}

// Passes over no block: every one is classified.
struct SkipNone {
    char const* operator()(char const* position) const { return position; }
};

// Calls onMatch(at) for every position at in [begin, end), in order, that
// classify marks, until onMatch returns false; gives where it stopped, or end.
// classify(bytes) gives the Matches of the sixteen positions from bytes on,
// reading at most reach bytes (kWidth <= reach <= kMaxReach). The last blocks
// are classified in a copy padded with zeros, so nothing is read past end; a
// classifier must not mark a position for a zero that lies beyond it.
// skip(position) may give a later position when classify marks nothing
// before it (see bytes32::skipToPair).
template <class Classify, class OnMatch, class Skip = SkipNone>
char const* findEach(char const* begin, char const* end, std::size_t reach,
                     Classify const& classify, OnMatch&& onMatch, Skip const& skip = {}) {
    constexpr bool skipsNothing = std::is_same_v<Skip, SkipNone>;
    char const* position = begin;
    auto const blockFits = [&] { return static_cast<std::size_t>(end - position) >= reach; };
    while (blockFits()) {
        position = skip(position);
        if (!blockFits()) {
            break;
        }
        Matches matches = classify(position);
        // A skip goes on from each block without a match; without one, the
        // search for the next block with a match calls nothing, so that what
        // classify compares with stays in registers between calls of onMatch.
        if constexpr (skipsNothing) {
            while (!matches.any()) {
                position += kWidth;
                if (!blockFits()) {
                    return findEachInPaddedCopy(position, end, classify, onMatch);
                }
                matches = classify(position);
            }
        }
        while (matches.any()) {
            char const* const at = position + matches.takeFirst();
            if (!onMatch(at)) {
                return at;
            }
        }
        position += kWidth;
    }
    return findEachInPaddedCopy(position, end, classify, onMatch);
}

}  // namespace vesnik::bytes16

#endif
