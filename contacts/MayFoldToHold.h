// Tells, without folding it, whether a line's searched columns could fold
// into text that holds the folded words of a search. Every code point of a
// word (up to 64 distinct ones, its keys) must be in the fold of one of the
// line's code points; and each of the first words must stand within one
// column: as it is where the column is ASCII, which folds to itself, or by
// its keys where it is not. Every line where the words stand, folded,
// passes; most where they do not are turned away at a fraction of folding's
// cost.
#ifndef VESNIK_CONTACTS_MAYFOLDTOHOLD_H
#define VESNIK_CONTACTS_MAYFOLDTOHOLD_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CodePointFolds.h"
#include "SearchWords.h"

namespace vesnik {

class MayFoldToHold {
  public:
    // The words are folded already and outlive this; their ASCII letters
    // may be in either case.
    MayFoldToHold(std::vector<SearchWord> const& words, CodePointFolds const& folds);

    // line is a line's text; firstWordMayBeInIt is false when the first word
    // is known not to stand in its bytes as they are.
    bool inSearchedColumns(std::string_view line, bool firstWordMayBeInIt = true);

  private:
    using KeyBits = std::uint64_t;

    // The words looked for column by column: a bounded number, so that a
    // line costs a bounded number of passes however many words there are.
    static constexpr std::size_t kColumnWords = 4;

    // The keys that the fold of each code point of a block holds, learnt
    // when the block is first met.
    std::array<KeyBits, 256> const& blockKeys(std::uint32_t highBits);

    // The keys that the folds of a column's code points hold.
    KeyBits keysIn(std::string_view column);

    // Learns twoByteKeys_, dullLow_ and dullHigh_.
    void learnTwoByteKeys();

    std::vector<SearchWord> const& words_;
    CodePointFolds const& folds_;
    std::vector<std::string> keys_;
    KeyBits allKeys_ = 0;
    // The keys of each of the first words, and whether it is ASCII; a word
    // without keys is not looked for column by column.
    std::vector<KeyBits> wordKeys_;
    std::vector<bool> asciiWord_;
    // Whether every word is looked for column by column, which then tells
    // all that the keys of the whole line would.
    bool everyWordByColumn_ = false;
    // Per ASCII byte, the keys its fold holds.
    std::array<KeyBits, 128> asciiKeys_{};
    // Per block, the index in blockKeys_ of its code points' keys, or 0
    // before the block is first met.
    std::vector<std::uint16_t> blockIndex_;
    std::vector<std::array<KeyBits, 256>> blockKeys_;
    // The keys of each code point of two bytes, U+0080 to U+07FF, by code
    // point; and the two-byte leads from dullLow_ to dullHigh_, which start no
    // code point whose fold holds a key (none when dullLow_ > dullHigh_).
    // Learnt when a line first holds more than ASCII.
    bool twoByteKeysKnown_ = false;
    std::vector<KeyBits> twoByteKeys_;
    unsigned char dullLow_ = 1;
    unsigned char dullHigh_ = 0;
    std::uint32_t lastHighBits_ = 0;
    std::array<KeyBits, 256> const* lastKeys_ = nullptr;
};

}  // namespace vesnik

#endif
