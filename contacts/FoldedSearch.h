// A search that folds letter case or accents: which lines it looks at, and
// whether one matches. The words are folded already (foldedWords); a line is
// folded only when its searched columns hold more than ASCII, since ASCII
// folds to itself with letters in lower case, which the words' own ASCII
// comparison already ignores.
#ifndef VESNIK_CONTACTS_FOLDEDSEARCH_H
#define VESNIK_CONTACTS_FOLDEDSEARCH_H

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CodePointFolds.h"
#include "Columns.h"
#include "LineFilters.h"
#include "LineFormat.h"
#include "MayFoldToHold.h"
#include "SearchWords.h"

namespace vesnik {

// The first byte in [begin, end) outside ASCII, or end.
char const* findNonAscii(char const* begin, char const* end);

class FoldedSearch {
  public:
    // words must be in orderForSearch's order and outlive this.
    FoldedSearch(std::vector<SearchWord> const& words, CodePointFolds const& folds);

    // Whether every word stands in field1, field2 or the e-mail of a line,
    // each folded.
    bool matches(Columns const& columns);

    // The columns of the line matches() took last, as it compared them:
    // folded when the line held more than ASCII, so that a ranking judges
    // what was matched.
    Columns const& comparedColumns(Columns const& columns) const {
        return lastFolded_ ? foldedColumns_ : columns;
    }

    // A line filter: the lines that hold a byte outside ASCII, which could
    // fold into anything, and, when an ASCII line can match at all, those
    // that hold the first word. So no line that matches is passed over.
    template <class OnLine>
    bool forEachIn(std::string_view lines, OnLine& onLine) const {
        char const* const end = lines.data() + lines.size();
        char const* from = lines.data();
        // The next place each way finds, looked for again only once the
        // scan has passed it: each byte is read a bounded number of times.
        char const* nonAscii = findNonAscii(from, end);
        char const* holding = firstWordFrom(from, end);
        while (from != end) {
            if (nonAscii < from) {
                nonAscii = findNonAscii(from, end);
            }
            if (holding < from) {
                holding = firstWordFrom(from, end);
            }
            char const* const found = std::min(nonAscii, holding);
            if (found == end) {
                return true;
            }
            LineAround const line = lineAround(from, found, end);
            // A line whose fold cannot hold the words is not split. Where the
            // first word was looked for, a line it is not in holds it in no
            // ASCII column either.
            bool const mayMatch =
                holding < line.end || mayHoldWords_.inSearchedColumns(line.text, !firstWord_);
            if (!line.text.empty() && mayMatch && !onLine(line.text)) {
                return false;
            }
            from = line.next;
        }
        return true;
    }

  private:
    char const* firstWordFrom(char const* from, char const* end) const {
        return firstWord_ ? firstWord_->find(from, end) : end;
    }

    // Whether a line holds them all, in time linear in the line however
    // many words there are.
    WordsOfASearch allOf_;
    CodePointFolds const& folds_;
    // Whether a line of ASCII alone can match: every word is ASCII, and
    // holds no separator, which a folded field can hold but an ASCII one
    // cannot.
    bool asciiLinesCanMatch_;
    // Only when ASCII lines can match.
    std::optional<LinesWithWord> firstWord_;
    // Keeps most lines found by their bytes outside ASCII from being split
    // and folded; it caches what it learns of each block as it goes.
    mutable MayFoldToHold mayHoldWords_;
    // The span of the line at hand, folded; kept for the next line's room.
    std::string folded_;
    bool lastFolded_ = false;
    Columns foldedColumns_{};
};

}  // namespace vesnik

#endif
