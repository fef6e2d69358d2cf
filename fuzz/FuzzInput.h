// How the fuzzer's bytes become an address book and what to ask it, and one
// run of every engine query over it against the plain reading. The fuzzer
// and the replay of its corpus share it.
#ifndef VESNIK_FUZZ_FUZZINPUT_H
#define VESNIK_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vesnik::fuzz {

// The input's layout:
//   byte 0          the key's length, modulo 64
//   that many bytes the key, asked as an identifier, an e-mail and a search
//                   text (a C string: it ends at a NUL)
//   one byte        where the book starts: with bit 7 set, a first line of
//                   filler puts the book's bytes across the end of the
//                   engine's first read; without, the book starts at once.
//                   It also seeds the choice of the book's own e-mails,
//                   identifiers and pieces of fields asked too
//   the rest        the book
struct FuzzInput {
    std::string key;
    std::string book;  // filler included
    std::uint8_t placement = 0;
};

FuzzInput decode(std::uint8_t const* data, std::size_t size);

// Asks every engine query, at several limits, of the input's book; the first
// difference from the plain reading, or nothing.
std::optional<std::string> differenceFor(FuzzInput const& input);

}  // namespace vesnik::fuzz

#endif
