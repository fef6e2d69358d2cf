#include "AddressBook.h"

#include "AsciiCase.h"
#include "ColumnWalk.h"
#include "ContactIdSet.h"
#include "IdColumnFilter.h"
#include "KeyFinder.h"
#include "LineFilters.h"

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

}  // namespace

ScanStatus AddressBook::eachLine(OnMatch onLine) const {
    return scanFile(path_.c_str(), EveryLine{},
                    [&](std::string_view text) { return onLine(splitColumns(text)); });
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
        [&](std::string_view column) { return equalsAsUpper(column, finder.key()); }, onMatch);
}

}  // namespace vesnik
