// The words of a search, each looked for inside a column with ASCII letter
// case ignored, in time linear in the column whatever the word holds.
#ifndef VESNIK_CONTACTS_SEARCHWORDS_H
#define VESNIK_CONTACTS_SEARCHWORDS_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KeyFinder.h"
#include "LineFormat.h"

namespace vesnik {

// Whether a word can stand within one column: it holds no separator and no
// NUL, which end columns and lines.
inline bool canBeInAColumn(std::string_view word) {
    return std::none_of(word.begin(), word.end(),
                        [](char c) { return isSeparator(c) || c == '\0'; });
}

// A search's text split at spaces and TABs, the empty pieces dropped.
std::vector<std::string_view> splitWords(std::string_view text);

// How common a word's two rarest bytes are in names and addresses, whatever
// their letter case: the lower, the fewer lines the word stands in.
int commonnessOf(std::string_view word);

class SearchWord {
  public:
    explicit SearchWord(std::string_view word);

    // The word as it is looked for: upper-cased.
    std::string_view upper() const { return upper_; }

    // Whether the word stands anywhere in text, ASCII letter case ignored.
    bool isIn(std::string_view text) const;

    // commonnessOf the word, computed once.
    int commonness() const { return commonness_; }

  private:
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

// All the words of a search at once (Aho and Corasick's automaton over their
// upper-cased bytes): whether a text holds every one is told in one pass,
// each byte stepping through the automaton a bounded number of times, and
// each word found marked once. Asking is not safe from two threads at once.
class WordSet {
  public:
    // Throws std::length_error for words too long to number their bytes.
    explicit WordSet(std::vector<std::string_view> const& words);

    // Whether each word stands somewhere in text, ASCII letter case ignored.
    bool allIn(std::string_view text) const;

  private:
    struct Node {
        std::uint32_t firstChild = 0;  // 0 for none: the root is no one's child
        std::uint32_t nextSibling = 0;
        // The longest proper suffix of this node's bytes that is a node too.
        std::uint32_t fallback = 0;
        // The nearest node down the fallbacks that ends a word, or 0.
        std::uint32_t nextWordEnd = 0;
        // The pass of allIn that found this node's word last.
        mutable std::uint32_t foundIn = 0;
        unsigned char byte = 0;
        bool endsWord = false;
    };

    std::uint32_t child(std::uint32_t node, unsigned char byte) const;
    // The node that node goes on to with byte, by the fallbacks if need be.
    std::uint32_t next(std::uint32_t node, unsigned char byte) const;

    std::vector<Node> nodes_;
    // The root's children by byte: most bytes of a text start no word.
    std::array<std::uint32_t, 256> fromRoot_{};
    std::size_t words_ = 0;  // distinct ones
    mutable std::uint32_t passes_ = 0;
};

// The words of one search, told whether a line holds them all. Each is
// looked for in turn, rarest first, at the pace of a memory search; but that
// costs a pass over the line per word, so once the passes have read more
// than the search's text and four times the lines given so far, the words
// are looked for all at once (WordSet), in one pass a line: a search stays
// linear in its book and text, and one of up to four words never builds the
// set. Not for two threads at once.
class WordsOfASearch {
  public:
    // words holds at least one word, each repeated or not.
    WordsOfASearch(std::vector<std::string_view> const& words, std::size_t textSize);

    // The word with the rarest bytes, and among those the longest: it rules
    // out the most lines.
    SearchWord const& rarest() const { return inTurn_.front(); }

    // Whether every word stands in span, a part of a line of lineSize bytes.
    bool allIn(std::string_view span, std::size_t lineSize);

  private:
    static constexpr std::size_t kPassesPerLine = 4;

    std::vector<std::string_view> words_;
    std::vector<SearchWord> inTurn_;
    std::unique_ptr<WordSet> atOnce_;
    std::size_t budget_;
    std::size_t spent_ = 0;
};

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
