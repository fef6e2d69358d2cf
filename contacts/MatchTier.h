// How well a search's match fits what was typed, so that the best can come
// first: tier 1, every word begins a word of field1 or field2, or begins the
// e-mail; tier 2, every word begins a word in one of the three; tier 3, the
// rest. A word begins at the start of a column or after a byte that is not a
// letter or a digit; bytes past ASCII are UTF-8's letters.
#ifndef VESNIK_CONTACTS_MATCHTIER_H
#define VESNIK_CONTACTS_MATCHTIER_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Columns.h"

namespace vesnik {

enum class MatchTier : unsigned char { kWordStartsName = 1, kWordStarts = 2, kInside = 3 };

inline constexpr std::size_t kTierCount = 3;

class TierJudge {
  public:
    // The words of the search, as splitWords gives them.
    explicit TierJudge(std::vector<std::string_view> const& words);

    // The tier of a line every word stands in, in time linear in its
    // columns and the words.
    MatchTier tierOf(Columns const& columns) const;

  private:
    struct Word {
        std::string upper;
        // KMP's borders: every place the word stands is found in one pass.
        std::vector<std::size_t> border;
    };
    struct Places {
        bool atStart = false;
        bool atAWordStart = false;
    };
    static Places placesIn(Word const& word, std::string_view text);

    std::vector<Word> words_;
};

}  // namespace vesnik

#endif
