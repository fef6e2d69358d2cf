// How the fuzzer's bytes become an address book and the keys to ask it, and
// one run of every lookup on them against the plain reading. The fuzzer and
// the regression test share it.
#ifndef VESNIK_FUZZ_FUZZINPUT_H
#define VESNIK_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vesnik::fuzz {

// The input's layout:
//   byte 0          the key's length, modulo 64
//   that many bytes the key (a C string: it ends at a NUL)
//   one byte        where the book starts: with bit 7 set, a first line of
//                   filler puts the book's bytes across the end of the
//                   library's first read; without, the book starts the file
//   the rest        the book
struct FuzzInput {
    std::string key;
    std::string book;  // as written to the file, filler included
    // The placement byte also picks one of the book's records, whose e-mail
    // and identifier are asked as keys too, so that lookups find something.
    std::uint8_t lenderLine = 0;
};

FuzzInput decode(std::uint8_t const* data, std::size_t size);

// Writes the book to path and asks every lookup about it with the input's
// keys; the first difference from the plain reading, or nothing.
std::optional<std::string> differenceFor(FuzzInput const& input, std::string const& path);

}  // namespace vesnik::fuzz

#endif
