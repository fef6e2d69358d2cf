// Tells, without folding it, whether a line's searched columns could fold
// into text that holds every code point of some folded words (up to 64 of
// them, its keys): each key must be in the fold of one of their code points.
// Every line where the words stand, folded, passes; most where they do not
// are turned away at a fraction of folding's cost.
#ifndef VESNIK_CONTACTS_MAYFOLDTOHOLD_H
#define VESNIK_CONTACTS_MAYFOLDTOHOLD_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CodePointFolds.h"

namespace vesnik {

class MayFoldToHold {
  public:
    // The words are folded already; their ASCII letters may be in either
    // case.
    MayFoldToHold(std::vector<std::string_view> const& words, CodePointFolds const& folds);

    // line is a line's text.
    bool inSearchedColumns(std::string_view line);

  private:
    using KeyBits = std::uint64_t;

    // The keys that the fold of each code point of a block holds, learnt
    // when the block is first met.
    std::array<KeyBits, 256> const& blockKeys(std::uint32_t highBits);

    CodePointFolds const& folds_;
    std::vector<std::string> keys_;
    KeyBits allKeys_ = 0;
    // Per ASCII byte, the keys its fold holds.
    std::array<KeyBits, 128> asciiKeys_{};
    // Per block, the index in blockKeys_ of its code points' keys, or 0
    // before the block is first met.
    std::vector<std::uint16_t> blockIndex_;
    std::vector<std::array<KeyBits, 256>> blockKeys_;
    std::uint32_t lastHighBits_ = 0;
    std::array<KeyBits, 256> const* lastKeys_ = nullptr;
};

}  // namespace vesnik

#endif
