#include "Columns.h"

#include "Bytes16.h"

namespace vesnik {

namespace {

// The first separator at or after position, or end. Columns run to tens of
// bytes, so sixteen are tested at a time.
char const* findSeparator(char const* position, char const* end) {
    auto const separators = [](char const* bytes) {
        return bytes16::Matches(separatorsIn(bytes16::load(bytes)));
    };
    return bytes16::findEach(position, end, bytes16::kWidth, separators,
                             [](char const*) { return false; });
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

// Columns fill in order, so the last present one ends the span.
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

}  // namespace vesnik
