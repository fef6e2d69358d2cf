#include <algorithm>

#include "ColumnWalk.h"
#include "ContactIdSet.h"
#include "IdColumnFilter.h"
#include "KeyFinder.h"
#include "LineFilters.h"
#include "Query.h"
#include "SearchWords.h"

namespace vesnik {

namespace {

// Stops the scan at the query's limit.
class Counted {
  public:
    Counted(OnMatch onMatch, std::size_t limit) : onMatch_(onMatch), limit_(limit) {}

    bool operator()(Columns const& columns) {
        return onMatch_(Match{columns}) && ++matched_ != limit_;
    }

  private:
    OnMatch onMatch_;
    std::size_t limit_;
    std::size_t matched_ = 0;
};

// The lines that filter lets through and whose column at columnIndex passes
// isMatch.
template <class Filter, class IsMatch>
ScanOutcome findLines(ByteSource& source, Filter const& filter, std::size_t columnIndex,
                      IsMatch const& isMatch, Counted& onMatch) {
    return scanLines(source, filter, [&](std::string_view text) {
        // An absent column is empty, and never matches.
        std::string_view const column = columnAt(text, columnIndex);
        return column.empty() || !isMatch(column) || onMatch(splitColumns(text));
    });
}

// Lets no line through: the book is still read, so that one that cannot be
// read is reported as by any other query.
struct NoLine {
    template <class OnLine>
    bool forEachIn(std::string_view, OnLine&) const {
        return true;
    }
};

ScanOutcome noLine(ByteSource& source) {
    return scanLines(source, NoLine{}, [](std::string_view) { return true; });
}

ScanOutcome everyContact(ByteSource& source, Counted& onMatch) {
    return scanLines(source, LinesWithColumns{},
                     [&](std::string_view, Columns const& columns) { return onMatch(columns); });
}

ScanOutcome everyContactId(ByteSource& source, Counted& onMatch) {
    return scanLines(source, LinesWithColumn{kContactIdColumn},
                     [&](std::string_view, std::string_view id) {
                         Columns columns{};
                         columns[kContactIdColumn] = id;
                         return onMatch(columns);
                     });
}

ScanOutcome contactIds(ByteSource& source, std::vector<std::string_view> const& keys,
                       Counted& onMatch) {
    ContactIdSet const set(keys);
    if (set.ids().empty()) {
        return noLine(source);
    }
    // One identifier is searched for whole, faster than through the set.
    if (set.ids().size() == 1) {
        std::string_view const id = set.ids().front();
        KeyFinder const finder(id, LetterCase::kExact);
        return findLines(
            source, LinesHolding{finder}, kContactIdColumn,
            [&](std::string_view column) { return column == id; }, onMatch);
    }
    IdColumnFilter const filter(set.ids());
    return findLines(
        source, LinesHolding{filter}, kContactIdColumn,
        [&](std::string_view column) { return set.contains(column); }, onMatch);
}

ScanOutcome email(ByteSource& source, std::string_view key, Counted& onMatch) {
    KeyFinder const finder(key, LetterCase::kFolded);
    return findLines(
        source, LinesHolding{finder}, kEmailColumn,
        [&](std::string_view column) { return finder.equals(column); }, onMatch);
}

// Field1 to the e-mail with the separators between them: a word holds no
// separator, so it stands here only within one of them. Columns fill in
// order, so the last present one ends the span.
std::string_view searchedSpan(Columns const& columns) {
    std::size_t present = 0;
    while (present <= kEmailColumn && !columns[present].empty()) {
        ++present;
    }
    if (present == 0) {
        return {};
    }
    std::string_view const last = columns[present - 1];
    return std::string_view(
        columns[0].data(), static_cast<std::size_t>(last.data() + last.size() - columns[0].data()));
}

ScanOutcome search(ByteSource& source, std::string_view text, Counted& onMatch) {
    std::vector<SearchWord> words;
    for (std::string_view const word : splitWords(text)) {
        words.emplace_back(word);
    }
    if (words.empty()) {
        return everyContact(source, onMatch);
    }
    // The word with the rarest bytes first: it finds the lines to look at,
    // and the fewer it finds the fewer are split; among equals the longest,
    // the most likely to rule a line out. A word given twice is looked for
    // once.
    std::sort(words.begin(), words.end(), [](SearchWord const& a, SearchWord const& b) {
        if (a.commonness() != b.commonness()) {
            return a.commonness() < b.commonness();
        }
        return a.upper().size() != b.upper().size() ? a.upper().size() > b.upper().size()
                                                    : a.upper() < b.upper();
    });
    words.erase(std::unique(words.begin(), words.end(),
                            [](SearchWord const& a, SearchWord const& b) {
                                return a.upper() == b.upper();
                            }),
                words.end());
    if (!std::all_of(words.begin(), words.end(),
                     [](SearchWord const& word) { return word.canBeInAColumn(); })) {
        return noLine(source);
    }
    // Only lines that hold the first word somewhere are split, and each is
    // then checked whole, every word in its first three columns.
    LinesWithWord const finder(words.front());
    return scanLines(source, LinesHolding{finder}, [&](std::string_view line) {
        Columns const columns = splitColumns(line);
        std::string_view const searched = searchedSpan(columns);
        bool const matches = std::all_of(words.begin(), words.end(), [&](SearchWord const& word) {
            return word.isIn(searched);
        });
        return !matches || onMatch(columns);
    });
}

}  // namespace

ScanOutcome runQuery(ByteSource& source, Query const& query, OnMatch onMatch) {
    Counted counted(onMatch, query.limit);
    std::string_view const key = query.keys.empty() ? std::string_view() : query.keys.front();
    switch (query.kind) {
        case QueryKind::kEveryContact:
            return everyContact(source, counted);
        case QueryKind::kEveryContactId:
            return everyContactId(source, counted);
        case QueryKind::kContactIds:
            return contactIds(source, query.keys, counted);
        case QueryKind::kEmail:
            return email(source, key, counted);
        case QueryKind::kSearch:
            return search(source, key, counted);
    }
    return noLine(source);
}

}  // namespace vesnik
