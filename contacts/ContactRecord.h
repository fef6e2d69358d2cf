// A line's columns, and the contact record built from them.
#ifndef VESNIK_CONTACTS_CONTACTRECORD_H
#define VESNIK_CONTACTS_CONTACTRECORD_H

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>

#include "Vesnik_API.h"

namespace vesnik {

inline constexpr std::size_t kColumnCount = 5;
inline constexpr std::size_t kEmailColumn = 2;
inline constexpr std::size_t kContactIdColumn = 3;

// The columns of one line, in file order. A column is never empty, so an
// empty view stands for a column the line does not have.
using Columns = std::array<std::string_view, kColumnCount>;

// Splits a line's text at commas and TABs. Separators at the start are
// skipped, a run of them counts as one, and text after the fifth column is
// not read.
Columns splitColumns(std::string_view text);

// The column at index (0 for the first) as splitColumns would give it, found
// without reading the columns after it; empty when the line has too few.
std::string_view columnAt(std::string_view text, std::size_t index);

// A NUL-terminated malloc copy of text; null for an empty (absent) column.
// Throws std::bad_alloc when memory runs out.
char* heapCopy(std::string_view text);

using RecordPtr = std::unique_ptr<AddressBook::ContactInfo>;

// A new record holding a heap copy of each present column.
RecordPtr makeRecord(Columns const& columns);

}  // namespace vesnik

#endif
