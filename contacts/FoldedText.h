// Text folded for a search that ignores letter case or accents: each
// well-formed UTF-8 sequence replaced by its code point's fold, every other
// byte kept as itself, so that a book in another encoding is still searched
// byte for byte.
#ifndef VESNIK_CONTACTS_FOLDEDTEXT_H
#define VESNIK_CONTACTS_FOLDEDTEXT_H

#include <array>
#include <cstdint>
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

// Tells, without folding it, whether a line's searched columns could fold
// into text that holds every code point of some folded words (up to 64 of
// them, its keys): each key must be in the fold of one of their code points.
// Every line where the words stand, folded, passes; most where they do not
// are turned away at a fraction of folding's cost.
class MayFoldToHold {
  public:
    // The words are folded already; their ASCII letters may be in either
    // case.
    MayFoldToHold(std::vector<std::string_view> const& words, CodePointFolds const& folds);

    // line is a line's text.
    bool inSearchedColumns(std::string_view line);

  private:
    using KeyBits = std::uint64_t;

    // The keys that the fold of the code point at the start of sequence
    // holds.
    KeyBits keysIn(std::string_view sequence);

    CodePointFolds const& folds_;
    std::vector<std::string> keys_;
    KeyBits allKeys_ = 0;
    // Per ASCII byte, the keys its fold holds.
    std::array<KeyBits, 128> asciiKeys_{};
    // Per block, the index in blockKeys_ of its code points' keys, or 0
    // before the block is first met.
    std::vector<std::uint16_t> blockIndex_;
    std::vector<std::array<KeyBits, 256>> blockKeys_;
};

}  // namespace vesnik

#endif
