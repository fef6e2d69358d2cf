#include "Bytes32.h"

#include <algorithm>
#include <atomic>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VESNIK_WIDE_BLOCKS 1
#endif

namespace vesnik::bytes32 {

namespace {

#if defined(VESNIK_WIDE_BLOCKS)

bool processorHasThem() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}

bool const kAvailable = processorHasThem();

// The places of the block at bytes where both probes match, each byte a
// separator where kAfterSeparator; fold bits are OR-ed in only when some are
// set.
template <bool kFolded, bool kAfterSeparator>
__attribute__((target("avx2"), always_inline)) inline __m256i pairsIn(char const* bytes,
                                                                      Probe const& first,
                                                                      Probe const& second,
                                                                      __m256i const* wanted) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(bytes + first.offset));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(bytes + second.offset));
    if (kFolded) {
        a = _mm256_or_si256(a, wanted[2]);
        b = _mm256_or_si256(b, wanted[3]);
    }
    __m256i pairs =
        _mm256_and_si256(_mm256_cmpeq_epi8(a, wanted[0]), _mm256_cmpeq_epi8(b, wanted[1]));
    if (kAfterSeparator) {
        __m256i const here = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(bytes));
        pairs = _mm256_and_si256(
            pairs, _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(here, wanted[4]),
                                                   _mm256_cmpeq_epi8(here, wanted[5])),
                                   _mm256_cmpeq_epi8(here, wanted[6])));
    }
    return pairs;
}

template <bool kFolded, bool kAfterSeparator>
__attribute__((target("avx2"))) char const* skipWith(char const* position, char const* end,
                                                     Probe const& first, Probe const& second,
                                                     char const* separators) {
    // The probes' bytes, their fold bits and the separators, each in every
    // byte of a block.
    __m256i wanted[7] = {_mm256_set1_epi8(static_cast<char>(first.wanted)),
                         _mm256_set1_epi8(static_cast<char>(second.wanted)),
                         _mm256_set1_epi8(static_cast<char>(first.foldBits)),
                         _mm256_set1_epi8(static_cast<char>(second.foldBits))};
    for (std::size_t i = 0; kAfterSeparator && i < 3; ++i) {
        wanted[4 + i] = _mm256_set1_epi8(separators[i]);
    }
    std::size_t const reach = std::max(first.offset, second.offset) + kWidth;
    auto left = static_cast<std::size_t>(end - position);
    // Two blocks a step, tested at once.
    for (; left >= reach + kWidth; left -= 2 * kWidth, position += 2 * kWidth) {
        __m256i const here = pairsIn<kFolded, kAfterSeparator>(position, first, second, wanted);
        __m256i const next =
            pairsIn<kFolded, kAfterSeparator>(position + kWidth, first, second, wanted);
        if (_mm256_movemask_epi8(_mm256_or_si256(here, next)) != 0) {
            return _mm256_movemask_epi8(here) != 0 ? position : position + kWidth;
        }
    }
    if (left >= reach && _mm256_movemask_epi8(pairsIn<kFolded, kAfterSeparator>(
                             position, first, second, wanted)) == 0) {
        position += kWidth;
    }
    return position;
}

#else

constexpr bool kAvailable = false;

#endif

std::atomic<bool> wanted{true};

}  // namespace

bool enabled() {
    return kAvailable && wanted.load(std::memory_order_relaxed);
}

void setEnabled(bool wantedNow) {
    wanted.store(wantedNow, std::memory_order_relaxed);
}

char const* skipToPair(char const* position, char const* end, Probe const& first,
                       Probe const& second, char const* separators) {
#if defined(VESNIK_WIDE_BLOCKS)
    if (enabled()) {
        bool const folded = first.foldBits != 0 || second.foldBits != 0;
        if (separators != nullptr) {
            return folded ? skipWith<true, true>(position, end, first, second, separators)
                          : skipWith<false, true>(position, end, first, second, separators);
        }
        return folded ? skipWith<true, false>(position, end, first, second, separators)
                      : skipWith<false, false>(position, end, first, second, separators);
    }
#else
    static_cast<void>(end);
    static_cast<void>(first);
    static_cast<void>(second);
    static_cast<void>(separators);
#endif
    return position;
}

}  // namespace vesnik::bytes32
