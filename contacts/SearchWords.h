// The words of a search, each looked for inside a column with ASCII letter
// case ignored, in time linear in the column whatever the word holds.
#ifndef VESNIK_CONTACTS_SEARCHWORDS_H
#define VESNIK_CONTACTS_SEARCHWORDS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "KeyFinder.h"

namespace vesnik {

// A search's text split at spaces and TABs, the empty pieces dropped.
std::vector<std::string_view> splitWords(std::string_view text);

class SearchWord {
  public:
    explicit SearchWord(std::string_view word);

    // The word as it is looked for: upper-cased.
    std::string_view upper() const { return upper_; }

    // Whether a column could hold the word at all: it holds no separator
    // and no NUL, which end a column.
    bool canBeInAColumn() const;

    // Whether the word stands anywhere in text, ASCII letter case ignored.
    bool isIn(std::string_view text) const;

    // How common the word's two rarest bytes are in names and addresses:
    // the lower, the fewer lines the word stands in.
    int commonness() const { return commonness_; }

  private:
    static int commonnessOf(std::string_view upper);

    // The first place in [position, end) where the word's first byte
    // stands, or end.
    char const* skipToFirstByte(char const* position, char const* end) const;
    // How many bytes from position on, up to sixteen, agree with the word
    // from its byte matched on; position has sixteen bytes to read.
    std::size_t agreeingBytes(char const* position, std::size_t matched) const;

    std::string upper_;
    // For each length of a partial match whose next byte failed, the length
    // it goes on from (KMP's failure function, skipping borders that would
    // fail on the same byte): no byte of text is read twice.
    std::vector<std::size_t> fallback_;
    // Padded for a sixteen-byte read from any of the word's bytes.
    FoldedKey folded_;
    int commonness_;
};

// Puts words in the order a search looks for them, each once: the word with
// the rarest bytes first, since it finds the lines to look at and the fewer
// it finds the fewer are split; among equals the longest, the most likely to
// rule a line out.
void orderForSearch(std::vector<SearchWord>& words);

// Finds, for a line filter, lines that hold a word somewhere: the word's two
// probe bytes pick a place, and the word is looked for from there to the
// end of its line; a line without it is passed over and the search goes on
// after it, so each byte is read a bounded number of times.
class LinesWithWord {
  public:
    explicit LinesWithWord(SearchWord const& word);

    // A place in [begin, end), in a line that holds the word from there on,
    // or end; begin is where a line starts.
    char const* find(char const* begin, char const* end) const;

  private:
    SearchWord const& word_;
    KeyFinder probes_;
};

}  // namespace vesnik

#endif
