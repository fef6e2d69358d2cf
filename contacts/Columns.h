// A line's columns, split as the format says.
#ifndef VESNIK_CONTACTS_COLUMNS_H
#define VESNIK_CONTACTS_COLUMNS_H

#include <array>
#include <cstddef>
#include <string_view>

#include "LineFormat.h"

namespace vesnik {

// The columns of one line, in file order. A column is never empty, so an
// empty view stands for a column the line does not have.
using Columns = std::array<std::string_view, kColumnCount>;

// Splits a line's text at its separators. Separators at the start are
// skipped, a run of them counts as one, and text after the fifth column is
// not read.
Columns splitColumns(std::string_view text);

// The column at index (0 for the first) as splitColumns would give it, found
// without reading the columns after it; empty when the line has too few.
std::string_view columnAt(std::string_view text, std::size_t index);

// Field1 to the e-mail with the separators between them, which a search
// looks in: a word holds no separator, so it stands here only within one of
// them.
std::string_view searchedSpan(Columns const& columns);

}  // namespace vesnik

#endif
