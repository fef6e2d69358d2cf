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

// A hash of every byte of text, so that identifiers alike but for a few bytes
// anywhere still spread over a table.
inline std::uint64_t hashOf(std::string_view text) {
    std::uint64_t hash = text.size() * kGoldenRatio;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        hash = (hash ^ wordOf(text.data() + at, 8)) * 0xBF58476D1CE4E5B9u;
        hash ^= hash >> 31;
    }
    hash = (hash ^ wordOf(text.data() + at, text.size() - at)) * 0x94D049BB133111EBu;
    return hash ^ (hash >> 29);
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
