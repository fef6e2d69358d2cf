// Text folded for a search that ignores letter case or accents: each
// well-formed UTF-8 sequence replaced by its code point's fold, every other
// byte kept as itself, so that a book in another encoding is still searched
// byte for byte.
#ifndef VESNIK_CONTACTS_FOLDEDTEXT_H
#define VESNIK_CONTACTS_FOLDEDTEXT_H

#include <string>
#include <string_view>
#include <vector>

#include "CodePointFolds.h"

namespace vesnik {

// Appends bytes, folded, to out. Time and room are linear in bytes: no code
// point's fold is longer than a block records.
void appendFolded(std::string_view bytes, CodePointFolds const& folds, std::string& out);

// A search's words: the text folded whole, then split at white space; a
// word that folds to nothing is no word.
std::vector<std::string> foldedWords(std::string_view text, CodePointFolds const& folds);

}  // namespace vesnik

#endif
