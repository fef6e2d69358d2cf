#include "FoldedSearch.h"

#include "Bytes16.h"
#include "FoldedText.h"

namespace vesnik {

char const* findNonAscii(char const* begin, char const* end) {
    // A byte's top bit is the bit Matches reads.
    auto const nonAscii = [](char const* bytes) { return bytes16::Matches(bytes16::load(bytes)); };
    return bytes16::findEach(begin, end, bytes16::kWidth, nonAscii,
                             [](char const*) { return false; });
}

FoldedSearch::FoldedSearch(std::vector<SearchWord> const& words, CodePointFolds const& folds)
    : words_(words),
      folds_(folds),
      everyWordAscii_(std::all_of(words.begin(), words.end(), [](SearchWord const& word) {
          return findNonAscii(word.upper().data(), word.upper().data() + word.upper().size()) ==
                 word.upper().data() + word.upper().size();
      })) {
    if (everyWordAscii_ && !words.empty()) {
        firstWord_.emplace(words.front());
    }
}

bool FoldedSearch::matches(std::string_view span) {
    char const* const end = span.data() + span.size();
    std::string_view searched = span;
    if (findNonAscii(span.data(), end) != end) {
        folded_.clear();
        appendFolded(span, folds_, folded_);
        searched = folded_;
    } else if (!everyWordAscii_) {
        return false;
    }
    return std::all_of(words_.begin(), words_.end(),
                       [&](SearchWord const& word) { return word.isIn(searched); });
}

}  // namespace vesnik
