// A scan for the queries that look at one column of every line: the lines
// and that column are found together, in one pass over the separators and
// line ends, without splitting each line on its own.
#ifndef VESNIK_CONTACTS_COLUMNSCAN_H
#define VESNIK_CONTACTS_COLUMNSCAN_H

#include <cstddef>
#include <cstring>
#include <string_view>

#include "Bytes16.h"
#include "ContactRecord.h"
#include "LineReader.h"
#include "RecordScan.h"

namespace vesnik {

namespace detail {

// Walks a run of whole lines from one separator or line end to the next.
// The run must hold no NUL: a NUL ends a line's text, which this walk does
// not look for.
template <class OnLine>
bool forEachLineWithColumnWalking(std::string_view lines, std::size_t columnIndex, OnLine& onLine) {
    char const* const data = lines.data();
    std::size_t const size = lines.size();
    std::size_t lineStart = 0;
    std::size_t columnStart = 0;  // just past the last separator
    std::size_t columnsSeen = 0;
    std::string_view column;
    auto const endColumn = [&](std::size_t columnEnd) {
        if (columnEnd > columnStart) {
            if (columnsSeen == columnIndex) {
                column = std::string_view(data + columnStart, columnEnd - columnStart);
            }
            ++columnsSeen;
        }
    };
    // Ends the line whose text runs to textEnd; false when onLine says stop.
    auto const endLine = [&](std::size_t textEnd) {
        endColumn(textEnd);
        if (textEnd > lineStart &&
            !onLine(std::string_view(data + lineStart, textEnd - lineStart), column)) {
            return false;
        }
        column = std::string_view();
        columnsSeen = 0;
        return true;
    };
    auto const atSeparator = [&](std::size_t position) {
        endColumn(position);
        columnStart = position + 1;
    };
    auto const atEvent = [&](std::size_t position) {
        if (data[position] != '\n') {
            atSeparator(position);
            return true;
        }
        // A CR right before the LF is not part of the line's text.
        bool const crBefore = position > lineStart && data[position - 1] == '\r';
        if (!endLine(crBefore ? position - 1 : position)) {
            return false;
        }
        lineStart = position + 1;
        columnStart = position + 1;
        return true;
    };

    auto const comma = bytes16::splat(',');
    auto const tab = bytes16::splat('\t');
    auto const lineFeed = bytes16::splat('\n');
    std::size_t position = 0;
    for (; size - position >= bytes16::kWidth; position += bytes16::kWidth) {
        auto const block = bytes16::load(data + position);
        auto const separators = (block == comma) | (block == tab);
        auto const lineEnds = block == lineFeed;
        // Most blocks hold no line end; their separators need no telling
        // apart from one.
        if (!bytes16::Matches(lineEnds).any()) {
            for (bytes16::Matches events(separators); events.any();) {
                atSeparator(position + events.takeFirst());
            }
            continue;
        }
        for (bytes16::Matches events(separators | lineEnds); events.any();) {
            if (!atEvent(position + events.takeFirst())) {
                return false;
            }
        }
    }
    for (; position < size; ++position) {
        char const c = data[position];
        if ((c == ',' || c == '\t' || c == '\n') && !atEvent(position)) {
            return false;
        }
    }
    // The file's last line, when no LF ends it.
    return lineStart == size || endLine(size);
}

}  // namespace detail

// Hands every non-blank line of a run of whole lines to onLine(text, column)
// with its column at columnIndex (empty when the line has too few), in
// order, until onLine returns false; returns whether it went on to the end.
template <class OnLine>
bool forEachLineWithColumnIn(std::string_view lines, std::size_t columnIndex, OnLine& onLine) {
    if (std::memchr(lines.data(), '\0', lines.size()) == nullptr) {
        return detail::forEachLineWithColumnWalking(lines, columnIndex, onLine);
    }
    auto withColumn = [&](std::string_view text) {
        return onLine(text, columnAt(text, columnIndex));
    };
    return forEachLineIn(lines, withColumn);
}

template <class OnLine>
void forEachLineWithColumn(LineReader& reader, std::size_t columnIndex, OnLine&& onLine) {
    std::string_view lines;
    while (reader.nextLines(lines) && forEachLineWithColumnIn(lines, columnIndex, onLine)) {
    }
}

}  // namespace vesnik

#endif
