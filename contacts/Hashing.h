// What the identifier set and the identifier filter both hash with: bytes
// read as words, a hash of whole identifiers, and power-of-two tables
// indexed by a hash's high bits.
#ifndef VESNIK_CONTACTS_HASHING_H
#define VESNIK_CONTACTS_HASHING_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vesnik {

inline constexpr std::uint64_t kGoldenRatio = 0x9E3779B97F4A7C15u;

// Up to eight bytes of text as one word, the first byte lowest.
inline std::uint64_t wordOf(char const* bytes, std::size_t count) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, count);
    return word;
}

// The two mixing steps of hashOf: one per whole word, and one for the last,
// partial word.
inline std::uint64_t hashWord(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * 0xBF58476D1CE4E5B9u;
    return hash ^ (hash >> 31);
}

inline std::uint64_t hashLastWord(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * 0x94D049BB133111EBu;
    return hash ^ (hash >> 29);
}

// A hash of every byte of text, so that identifiers alike but for a few bytes
// anywhere still spread over a table.
inline std::uint64_t hashOf(std::string_view text) {
    std::uint64_t hash = text.size() * kGoldenRatio;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        hash = hashWord(hash, wordOf(text.data() + at, 8));
    }
    return hashLastWord(hash, wordOf(text.data() + at, text.size() - at));
}

// hashOf of the first size bytes (fewer than sixteen) of the two words low
// and high, with no copy of them.
inline std::uint64_t hashOfShort(std::uint64_t low, std::uint64_t high, std::size_t size) {
    auto const first = [](std::uint64_t word, std::size_t count) {
        return count >= 8 ? word : word & ((std::uint64_t{1} << (8 * count)) - 1);
    };
    std::uint64_t const hash = size * kGoldenRatio;
    if (size < 8) {
        return hashLastWord(hash, first(low, size));
    }
    return hashLastWord(hashWord(hash, low), first(high, size - 8));
}

// A power-of-two table size, at least minimum and at least count * perEntry;
// shift is 64 less its number of bits, so that hash >> shift indexes it.
inline std::size_t tableSize(std::size_t count, std::size_t perEntry, std::size_t minimum,
                             unsigned& shift) {
    std::size_t size = minimum;
    shift = 64;
    for (std::size_t s = size; s > 1; s /= 2) {
        --shift;
    }
    while (size < count * perEntry) {
        size *= 2;
        --shift;
    }
    return size;
}

}  // namespace vesnik

#endif
