#include "AddressBook.h"

#include <algorithm>
#include <cstdint>

#include "AsciiCase.h"
#include "ColumnWalk.h"
#include "ContactIdSet.h"
#include "IdColumnFilter.h"
#include "KeyFinder.h"
#include "LineFilters.h"
#include "SearchWords.h"
#include "platform/Platform.h"

namespace vesnik {

namespace {

// Hands onMatch the columns of each line that filter lets through and whose
// column at columnIndex passes isMatch.
template <class Filter, class IsMatch>
ScanStatus findLines(std::string const& path, Filter const& filter, std::size_t columnIndex,
                     IsMatch const& isMatch, OnMatch onMatch) {
    return scanFile(path.c_str(), filter, [&](std::string_view text) {
        // An absent column is empty, and never matches.
        std::string_view const column = columnAt(text, columnIndex);
        return column.empty() || !isMatch(column) || onMatch(splitColumns(text));
    });
}

// Lets no line through: the book is still read, so that one that cannot be
// opened or read is reported as by any other query.
struct NoLine {
    template <class OnLine>
    bool forEachIn(std::string_view, OnLine&) const {
        return true;
    }
};

}  // namespace

ScanStatus AddressBook::eachLine(OnMatch onLine) const {
    return scanFile(path_.c_str(), EveryLine{},
                    [&](std::string_view text) { return onLine(splitColumns(text)); });
}

std::size_t AddressBook::expectedLines() const {
    // A contact's line seldom takes fewer bytes than this.
    constexpr std::uint64_t kShortLine = 48;
    constexpr std::uint64_t kMostLines = std::uint64_t{1} << 20;
    return static_cast<std::size_t>(
        std::min(platform::fileSize(path_.c_str()) / kShortLine, kMostLines));
}

ScanStatus AddressBook::eachContactId(FunctionRef<void(std::string_view)> onId) const {
    return scanFile(path_.c_str(), LinesWithColumn{kContactIdColumn},
                    [&](std::string_view, std::string_view id) {
                        onId(id);
                        return true;
                    });
}

ScanStatus AddressBook::findId(std::string_view id, OnMatch onMatch) const {
    KeyFinder const finder(id, LetterCase::kExact);
    return findLines(
        path_, LinesHolding{finder}, kContactIdColumn,
        [&](std::string_view column) { return column == id; }, onMatch);
}

ScanStatus AddressBook::findIds(std::vector<std::string_view> const& ids, OnMatch onMatch) const {
    ContactIdSet const set(ids);
    IdColumnFilter const filter(set.ids());
    return findLines(
        path_, LinesHolding{filter}, kContactIdColumn,
        [&](std::string_view column) { return set.contains(column); }, onMatch);
}

ScanStatus AddressBook::findEmail(std::string_view email, OnMatch onMatch) const {
    KeyFinder const finder(email, LetterCase::kFolded);
    return findLines(
        path_, LinesHolding{finder}, kEmailColumn,
        [&](std::string_view column) { return finder.equals(column); }, onMatch);
}

ScanStatus AddressBook::search(std::string_view text, OnMatch onMatch) const {
    std::vector<SearchWord> words;
    for (std::string_view const word : splitWords(text)) {
        words.emplace_back(word);
    }
    if (words.empty()) {
        return eachLine(onMatch);
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
        return scanFile(path_.c_str(), NoLine{}, [](std::string_view) { return true; });
    }
    // Only lines that hold the first word somewhere are split, and each is
    // then checked whole, every word in its first three columns.
    LinesWithWord const finder(words.front());
    return scanFile(path_.c_str(), LinesHolding{finder}, [&](std::string_view line) {
        Columns const columns = splitColumns(line);
        // Field1 to the e-mail with the separators between them: a word holds
        // no separator, so it stands here only within one of them. Columns
        // fill in order, so the last present one ends the span.
        std::size_t present = 0;
        while (present <= kEmailColumn && !columns[present].empty()) {
            ++present;
        }
        std::string_view searched;
        if (present > 0) {
            std::string_view const last = columns[present - 1];
            searched = std::string_view(
                columns[0].data(),
                static_cast<std::size_t>(last.data() + last.size() - columns[0].data()));
        }
        bool const matches = std::all_of(words.begin(), words.end(), [&](SearchWord const& word) {
            return word.isIn(searched);
        });
        return !matches || onMatch(columns);
    });
}

}  // namespace vesnik
