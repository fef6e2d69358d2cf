// What each code point becomes when a search ignores letter case or accents,
// and what kind of character it is. The engine has no Unicode data of its
// own: whoever asks for a folded search hands it one mode of folding, as
// blocks of 256 code points that it looks up as it decodes.
#ifndef VESNIK_CONTACTS_CODEPOINTFOLDS_H
#define VESNIK_CONTACTS_CODEPOINTFOLDS_H

#include <array>
#include <cstdint>
#include <string>

namespace vesnik {

// The bits of FoldedCodePoint::traits.
enum CodePointTrait : std::uint8_t {
    // The code point itself is a letter or a digit: Unicode categories L*
    // and N*.
    kLetterOrDigit = 1u << 0,
    // It separates words: ASCII space, TAB, LF, VT, FF, CR, U+0085, and
    // Unicode categories Zs, Zl and Zp.
    kWhiteSpace = 1u << 1,
    // It folds to itself: its fold is its own UTF-8, which the block does
    // not hold (offset and length are 0).
    kFoldsToItself = 1u << 2,
};

struct FoldedCodePoint {
    std::uint32_t offset;  // of its fold in FoldBlock::text
    std::uint8_t length;   // of its fold in bytes; 0 when it folds to nothing
    std::uint8_t traits;   // CodePointTrait bits
};

// The folds of the code points (block << 8) + i, i in 0..255: the UTF-8
// text.substr(offset, length), or the code point's own where kFoldsToItself.
struct FoldBlock {
    std::array<FoldedCodePoint, 256> codePoints;
    std::string text;
};

// Blocks 0 .. kFoldBlockCount - 1 cover U+0000 .. U+10FFFF.
constexpr std::uint32_t kFoldBlockCount = 0x110000 >> 8;

// One mode of folding. Every mode folds the ASCII letters to lower case and
// every other ASCII character to itself: text of ASCII alone needs no lookup.
class CodePointFolds {
  public:
    virtual ~CodePointFolds() = default;

    // The block of code points highBits * 256 .. highBits * 256 + 255, for
    // highBits < kFoldBlockCount. The reference stays valid as long as this
    // object. Safe to call from several threads at once; throws
    // std::bad_alloc when memory runs out.
    virtual FoldBlock const& block(std::uint32_t highBits) const = 0;
};

}  // namespace vesnik

#endif
