#include <algorithm>
#include <optional>

#include "ColumnWalk.h"
#include "ContactIdSet.h"
#include "FoldedSearch.h"
#include "FoldedText.h"
#include "IdColumnFilter.h"
#include "KeyFinder.h"
#include "LineFilters.h"
#include "Query.h"
#include "SearchWords.h"

namespace vesnik {

namespace {

// Stops the scan at the query's limit; judges each match's tier when a judge
// is given, and then counts the best tier's only.
class Counted {
  public:
    Counted(OnMatch onMatch, std::size_t limit, TierJudge const* judge)
        : onMatch_(onMatch), limit_(limit), judge_(judge) {}

    bool operator()(Columns const& columns) { return (*this)(columns, columns); }

    // judged: the columns as the search compared them, which may be folded.
    bool operator()(Columns const& columns, Columns const& judged) {
        MatchTier const tier =
            judge_ != nullptr ? judge_->tierOf(judged) : MatchTier::kWordStartsName;
        bool const counts = tier == MatchTier::kWordStartsName;
        return onMatch_(Match{columns, tier}) && (!counts || ++matched_ != limit_);
    }

  private:
    OnMatch onMatch_;
    std::size_t limit_;
    TierJudge const* judge_;
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

ScanOutcome search(ByteSource& source, std::string_view text, Counted& onMatch) {
    std::vector<std::string_view> const pieces = splitWords(text);
    if (pieces.empty()) {
        return everyContact(source, onMatch);
    }
    if (!std::all_of(pieces.begin(), pieces.end(), canBeInAColumn)) {
        return noLine(source);
    }
    // Only lines that hold the rarest word somewhere are split, and each is
    // then checked whole, every word in its first three columns.
    WordsOfASearch words(pieces, text.size());
    LinesWithWord const finder(words.rarest());
    return scanLines(source, LinesHolding{finder}, [&](std::string_view line) {
        Columns const columns = splitColumns(line);
        return !words.allIn(searchedSpan(columns), line.size()) || onMatch(columns);
    });
}

// folded: the text's words, folded.
ScanOutcome foldedSearch(ByteSource& source, std::vector<std::string> const& folded,
                         CodePointFolds const& folds, Counted& onMatch) {
    std::vector<SearchWord> words;
    for (std::string const& word : folded) {
        words.emplace_back(word);
    }
    if (words.empty()) {
        return everyContact(source, onMatch);
    }
    orderForSearch(words);
    FoldedSearch lines(words, folds);
    return scanLines(source, lines, [&](std::string_view line) {
        Columns const columns = splitColumns(line);
        return !lines.matches(columns) || onMatch(columns, lines.comparedColumns(columns));
    });
}

}  // namespace

ScanOutcome runQuery(ByteSource& source, Query const& query, OnMatch onMatch) {
    std::string_view const key = query.keys.empty() ? std::string_view() : query.keys.front();
    bool const searching = query.kind == QueryKind::kSearch;
    // A folded search's words are folded once, for the search and its tiers.
    std::vector<std::string> const folded = searching && query.folds != nullptr
                                                ? foldedWords(key, *query.folds)
                                                : std::vector<std::string>();
    std::optional<TierJudge> judge;
    if (query.ranked && searching) {
        judge.emplace(query.folds != nullptr
                          ? std::vector<std::string_view>(folded.begin(), folded.end())
                          : splitWords(key));
    }
    Counted counted(onMatch, query.limit, judge ? &*judge : nullptr);
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
            return query.folds != nullptr ? foldedSearch(source, folded, *query.folds, counted)
                                          : search(source, key, counted);
    }
    return noLine(source);
}

}  // namespace vesnik
