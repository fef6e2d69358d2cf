// A plain, slow reading of the address-book format and its five lookups, for
// checking the library against. It shares no code with the library and keeps
// to value types: what it answers can be compared directly.
#ifndef VESNIK_TESTS_REFERENCE_REFERENCEBOOK_H
#define VESNIK_TESTS_REFERENCE_REFERENCEBOOK_H

#include <optional>
#include <string>
#include <vector>

namespace vesnik::reference {

// A field's value, or nullopt for an absent field (or a null key).
using Field = std::optional<std::string>;
// A record's five fields: field1, field2, email, contactId, field5.
using Fields = std::vector<Field>;
using Records = std::vector<Fields>;
// Every record of a file in order, or nullopt when it cannot be opened.
using Book = std::optional<Records>;

// text with ASCII a-z upper-cased, every other byte as it is.
std::string asciiUpper(std::string text);

// Reads the file at path whole.
Book readBook(std::string const& path);

// The records of bytes, read as readBook reads a file's.
Records readBytes(std::string const& bytes);

// How well a record that a search finds fits text, every place of every word
// tried: 1 when each word begins a word of field1 or field2, or begins the
// e-mail; 2 when each begins a word of one of the three; 3 otherwise. A word
// begins at a field's start or after a byte below 0x80 that is no letter or
// digit.
int searchTier(std::string const& text, Fields const& record);
// The same for words already split.
int wordsTier(std::vector<std::string> const& words, Fields const& record);

// The lookups that every front door is built from, in their plain form:
// every record; every record's identifier (a record of that field alone); the
// records whose identifier is one of keys; whose e-mail equals keys[0], ASCII
// letter case ignored (as the file has it); where every word of keys[0],
// split at spaces and TABs, stands in field1, field2 or email, ASCII letter
// case ignored (every record when it has no words), or as foldedSearch says
// when fold holds the C interface's fold flags. A ranked search orders its
// records by their tier first (on the folded text when folded). The first
// limit of them (0: every one).
enum class Lookup { kEveryContact, kEveryContactId, kContactIds, kEmail, kSearch };
struct Ask {
    Lookup lookup;
    std::vector<std::string> keys;
    std::size_t limit = 0;
    unsigned fold = 0;
    bool ranked = false;
};
Records answer(Ask const& ask, Records const& records);
// A ranked search's tier of a record it finds.
int tierOf(Ask const& ask, Fields record);

}  // namespace vesnik::reference

#endif
