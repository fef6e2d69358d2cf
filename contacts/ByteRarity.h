// How common a byte is in an address book's lines, roughly: lower is rarer.
// The one model by which the key finder picks the bytes it looks for first
// and a search picks the word it looks for first.
#ifndef VESNIK_CONTACTS_BYTERARITY_H
#define VESNIK_CONTACTS_BYTERARITY_H

#include <string_view>

#include "AsciiCase.h"
#include "LineFormat.h"

namespace vesnik {

// Kinds of byte, rarest first: any byte not named below; a capital, looked
// for as it is, which mostly begins a name; a digit, which stands in few of
// the columns; a letter; and the separators, spaces and punctuation of names
// and e-mail addresses, which are in almost every line.
enum class ByteKind { kOther, kCapital, kDigit, kLetter, kPunctuation };

constexpr ByteKind byteKind(char c, LetterCase letterCase) {
    constexpr std::string_view kPunctuation = " .@-_'";
    if (isSeparator(c) || kPunctuation.find(c) != std::string_view::npos) {
        return ByteKind::kPunctuation;
    }
    if (c >= 'A' && c <= 'Z' && letterCase == LetterCase::kExact) {
        return ByteKind::kCapital;
    }
    if (isAsciiLetter(c)) {
        return ByteKind::kLetter;
    }
    return c >= '0' && c <= '9' ? ByteKind::kDigit : ByteKind::kOther;
}

// The kind, refined within letters by their frequency in the language. The
// key finder compares kinds only: within one book the letters of a common
// domain stand in every e-mail, whatever the language makes of them, and
// two probes far apart rule out more than two rare letters side by side.
inline constexpr int kKindStep = 100;
// More than any byte's commonness.
inline constexpr int kCommonerThanAnyByte =
    (static_cast<int>(ByteKind::kPunctuation) + 1) * kKindStep;

constexpr int byteCommonness(char c, LetterCase letterCase) {
    constexpr std::string_view kLettersByFrequency = "ZQXJKVBPYGFWMUCLDRHSNIOATE";
    ByteKind const kind = byteKind(c, letterCase);
    int const withinKind =
        kind == ByteKind::kLetter ? static_cast<int>(kLettersByFrequency.find(toAsciiUpper(c))) : 0;
    return static_cast<int>(kind) * kKindStep + withinKind;
}

}  // namespace vesnik

#endif
