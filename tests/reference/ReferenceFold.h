// Folding read plainly: the bytes decoded as UTF-8, each code point folded
// with utf8proc and rewritten by the C interface's table (capi/FoldTable.h,
// the rule itself), ASCII letters lower-cased, and each byte that is not part
// of a well-formed sequence kept as it is. Shares no code with the library.
#ifndef VESNIK_TESTS_REFERENCE_REFERENCEFOLD_H
#define VESNIK_TESTS_REFERENCE_REFERENCEFOLD_H

#include <string>
#include <string_view>
#include <vector>

#include "reference/ReferenceBook.h"

namespace vesnik::reference {

// The C interface's fold flags.
constexpr unsigned kFoldCase = 1;
constexpr unsigned kFoldMarks = 2;

std::string fold(std::string_view bytes, unsigned flags);

struct CharacterKind {
    bool letterOrDigit;
    bool whiteSpace;
};
CharacterKind characterKindOf(char32_t codePoint);

// text folded whole by flags and split at white space; no empty word.
std::vector<std::string> foldedWords(std::string const& text, unsigned flags);

// The records where each word of text, folded whole by flags and split at
// white space, stands in field1, field2 or email, each folded alone; all
// records when text has no words.
Records foldedSearch(std::string const& text, unsigned flags, Records const& records);

}  // namespace vesnik::reference

#endif
