// The benchmark's address books: made up, deterministic, and byte-identical
// on every machine for the same contact count and seed, so that figures from
// different runs describe the same file.
#ifndef VESNIK_BENCH_BOOKGENERATOR_H
#define VESNIK_BENCH_BOOKGENERATOR_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace vesnik::bench {

struct BookOptions {
    std::uint64_t seed = 1;
    bool crlf = false;
};

// Contacts are numbered from 1 in file order; contact n has the id of n.
std::string contactIdOf(std::size_t number);

// An id of the same shape as every other, that no contact has.
std::string missingContactId();

// Contact n's e-mail exactly as the book writes it.
std::string emailOf(std::size_t number, std::uint64_t seed);

// The e-mail that every thousandth contact shares, written in varying case.
std::string sharedEmail();

// How many of the first `contacts` contacts have the shared e-mail.
std::size_t sharedEmailCount(std::size_t contacts);

// An e-mail that no contact has.
std::string missingEmail();

// Contact n's line, without its line end.
std::string contactLine(std::size_t number, std::uint64_t seed);

// Writes a book of `contacts` contacts to path; false when it cannot.
bool writeBook(std::string const& path, std::size_t contacts, BookOptions const& options);

}  // namespace vesnik::bench

#endif
