// Letter case folding for e-mail addresses and search words: ASCII a-z only,
// whatever locale the host has set, so a lookup's answer never depends on it.
#ifndef VESNIK_CONTACTS_ASCIICASE_H
#define VESNIK_CONTACTS_ASCIICASE_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vesnik {

enum class LetterCase { kExact, kFolded };

constexpr char toAsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool isAsciiLetter(char c) {
    return toAsciiUpper(c) >= 'A' && toAsciiUpper(c) <= 'Z';
}

inline std::string asciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = toAsciiUpper(c);
    }
    return upper;
}

inline void asciiUpperInPlace(char* text) {
    for (; *text != '\0'; ++text) {
        *text = toAsciiUpper(*text);
    }
}

// A key compared many bytes at a time: its bytes with letters in lower case
// when their case is folded, and 0x20 where a byte is such a letter, else 0.
// A byte of text with that bit set equals the folded byte whatever the
// letter's case; other bytes compare as they are. Both strings end in
// padding zeros, so that a wide read from any of the key's bytes stays in
// them; the padding is never compared.
struct FoldedKey {
    std::string bytes;
    std::string foldBits;
};

inline FoldedKey foldedKey(std::string_view key, LetterCase letterCase, std::size_t padding) {
    FoldedKey folded;
    for (char const c : key) {
        char const fold = letterCase == LetterCase::kFolded && isAsciiLetter(c) ? char{0x20} : '\0';
        folded.bytes.push_back(static_cast<char>(c | fold));
        folded.foldBits.push_back(fold);
    }
    folded.bytes.append(padding, '\0');
    folded.foldBits.append(padding, '\0');
    return folded;
}

}  // namespace vesnik

#endif
