// Finds where a key's bytes start a column in a run of lines, so that a
// keyed query splits only the lines that could match it.
#ifndef VESNIK_CONTACTS_KEYFINDER_H
#define VESNIK_CONTACTS_KEYFINDER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "AsciiCase.h"
#include "Bytes16.h"

namespace vesnik {

// Where a key may stand: where a column starts, compared whole; or anywhere,
// where only the key's two probe bytes are looked for and the caller checks
// the line.
enum class KeyPlace { kColumnStart, kAnywhereUnchecked };

// A finder is used by one scan at a time: its probes change as it learns.
class KeyFinder {
  public:
    // Probes are taken from the key's first bytes only, so that a block and
    // both probes stay within the reach of one scan step.
    static constexpr std::size_t kProbeSpan = bytes16::kMaxReach - bytes16::kWidth;

    // With kFolded, ASCII letters match whatever their case.
    KeyFinder(std::string_view key, LetterCase letterCase, KeyPlace place = KeyPlace::kColumnStart);

    // The key as it is looked for: upper-cased when letters are folded.
    std::string_view key() const { return key_; }

    // Where the key first starts a column in [begin, end), or end when it
    // does not; begin is where a line starts. A key that cannot be a whole
    // column (empty, or holding a separator) is found nowhere.
    // With kAnywhereUnchecked: the first place in [begin, end) where the key
    // could start, found by its probe bytes alone and compared nowhere, so a
    // run costs the same whatever the key and the book hold; never before a
    // place where the key stands, and an empty key is found nowhere.
    char const* find(char const* begin, char const* end) const;

    // Whether text is the key, letters folded as the finder folds them.
    bool equals(std::string_view text) const;

  private:
    bool matchesAt(char const* position) const;
    void learnFrom(char const* start) const;

    std::string key_;  // upper-cased when letters are folded
    LetterCase letterCase_;
    KeyPlace place_;
    // Two of the key's bytes, chosen as the least likely in a line, are
    // looked for first; the whole key only where both stand. Where a column
    // starts, the first places that hold both but not the key choose the
    // second anew, for the finds after: the byte where those places differed
    // from the key most often. Keys alike but for a few bytes (identifiers
    // of one shape) are then told apart by those bytes.
    std::size_t firstOffset_;
    mutable std::size_t secondOffset_;
    mutable std::array<std::uint8_t, kProbeSpan> misses_ = {};  // per offset, of the places seen
    mutable std::array<char, kProbeSpan> lastPlace_ = {};
    mutable std::size_t placesSeen_ = 0;
    bool canBeAColumn_;
    FoldedKey folded_;
};

}  // namespace vesnik

#endif
