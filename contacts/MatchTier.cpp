#include "MatchTier.h"

#include <algorithm>

#include "AsciiCase.h"
#include "LineFormat.h"

namespace vesnik {

namespace {

bool continuesAWord(char byte) {
    return isAsciiLetter(byte) || (byte >= '0' && byte <= '9') ||
           static_cast<unsigned char>(byte) >= 0x80;
}

}  // namespace

TierJudge::TierJudge(std::vector<std::string_view> const& words) {
    for (std::string_view const text : words) {
        Word word{asciiUpper(text), std::vector<std::size_t>(text.size() + 1, 0)};
        for (std::size_t i = 1, matched = 0; i < word.upper.size(); ++i) {
            while (matched > 0 && word.upper[i] != word.upper[matched]) {
                matched = word.border[matched];
            }
            if (word.upper[i] == word.upper[matched]) {
                ++matched;
            }
            word.border[i + 1] = matched;
        }
        words_.push_back(std::move(word));
    }
}

TierJudge::Places TierJudge::placesIn(Word const& word, std::string_view text) {
    Places places;
    std::size_t const size = word.upper.size();
    if (size == 0) {
        return places;
    }
    std::size_t matched = 0;
    for (std::size_t i = 0; i < text.size() && !places.atAWordStart; ++i) {
        char const upper = toAsciiUpper(text[i]);
        while (matched > 0 && (matched == size || upper != word.upper[matched])) {
            matched = word.border[matched];
        }
        if (upper == word.upper[matched] && ++matched == size) {
            std::size_t const start = i + 1 - size;
            places.atStart = start == 0;
            places.atAWordStart = start == 0 || !continuesAWord(text[start - 1]);
        }
    }
    return places;
}

MatchTier TierJudge::tierOf(Columns const& columns) const {
    MatchTier worst = MatchTier::kWordStartsName;
    for (Word const& word : words_) {
        Places const field1 = placesIn(word, columns[0]);
        Places const field2 = placesIn(word, columns[1]);
        Places const email = placesIn(word, columns[2]);
        MatchTier const tier = field1.atAWordStart || field2.atAWordStart || email.atStart
                                   ? MatchTier::kWordStartsName
                               : email.atAWordStart ? MatchTier::kWordStarts
                                                    : MatchTier::kInside;
        worst = std::max(worst, tier);
    }
    return worst;
}

}  // namespace vesnik
