#include "ContactRecord.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Bytes16.h"

namespace vesnik {

namespace {

bool isSeparator(char c) {
    return c == ',' || c == '\t' || c == '\n';
}

// The first separator at or after position, or end. Columns run to tens of
// bytes, so sixteen are tested at a time.
char const* findSeparator(char const* position, char const* end) {
    auto const comma = bytes16::splat(',');
    auto const tab = bytes16::splat('\t');
    auto const lineFeed = bytes16::splat('\n');
    for (; end - position >= static_cast<std::ptrdiff_t>(bytes16::kWidth);
         position += bytes16::kWidth) {
        auto const block = bytes16::load(position);
        bytes16::Matches separators((block == comma) | (block == tab) | (block == lineFeed));
        if (separators.any()) {
            return position + separators.takeFirst();
        }
    }
    while (position < end && !isSeparator(*position)) {
        ++position;
    }
    return position;
}

char const* skipSeparators(char const* position, char const* end) {
    while (position < end && isSeparator(*position)) {
        ++position;
    }
    return position;
}

// Calls onColumn(index, column) for the line's columns in order, up to and
// including the column at lastIndex.
template <class OnColumn>
void forEachColumn(std::string_view text, std::size_t lastIndex, OnColumn&& onColumn) {
    char const* const end = text.data() + text.size();
    char const* position = text.data();
    for (std::size_t index = 0; index <= lastIndex; ++index) {
        char const* const start = skipSeparators(position, end);
        if (start == end) {
            return;
        }
        position = findSeparator(start, end);
        onColumn(index, std::string_view(start, static_cast<std::size_t>(position - start)));
    }
}

}  // namespace

Columns splitColumns(std::string_view text) {
    Columns columns{};
    forEachColumn(text, kColumnCount - 1,
                  [&](std::size_t index, std::string_view column) { columns[index] = column; });
    return columns;
}

std::string_view columnAt(std::string_view text, std::size_t index) {
    std::string_view found;
    forEachColumn(text, index, [&](std::size_t at, std::string_view column) {
        if (at == index) {
            found = column;
        }
    });
    return found;
}

char* heapCopy(std::string_view text) {
    if (text.empty()) {
        return nullptr;
    }
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

RecordPtr makeRecord(Columns const& columns) {
    RecordPtr record(new AddressBook::ContactInfo);
    char** const fields[kColumnCount] = {&record->field1, &record->field2, &record->email,
                                         &record->contactId, &record->field5};
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        *fields[i] = heapCopy(columns[i]);
    }
    return record;
}

}  // namespace vesnik
