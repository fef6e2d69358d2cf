// How common a byte is in an address book's lines, roughly: lower is rarer.
// The one model by which the key finder picks the bytes it looks for first
// and a search picks the word it looks for first.
#ifndef VESNIK_CONTACTS_BYTERARITY_H
#define VESNIK_CONTACTS_BYTERARITY_H

#include <cstddef>
#include <string_view>

#include "AsciiCase.h"
#include "LineFormat.h"

namespace vesnik {

// Separators, spaces and the punctuation of names and e-mail addresses are
// in almost every line. Letters follow their frequency in the language; a
// capital, looked for as it is, mostly begins a name; digits stand in few of
// the columns; any other byte is rarer still.
constexpr int byteCommonness(char c, LetterCase letterCase) {
    constexpr std::string_view kLettersByFrequency = "ETAOINSHRDLCUMWFGYPBVKJXQZ";
    constexpr std::string_view kPunctuation = " .@-_'";
    if (isSeparator(c) || kPunctuation.find(c) != std::string_view::npos) {
        return 90;
    }
    if (c >= 'A' && c <= 'Z' && letterCase == LetterCase::kExact) {
        return 20;
    }
    if (isAsciiLetter(c)) {
        return 60 - static_cast<int>(kLettersByFrequency.find(toAsciiUpper(c)));
    }
    return c >= '0' && c <= '9' ? 30 : 10;
}

}  // namespace vesnik

#endif
