// A line filter for the queries that look at one column of every line: the
// lines and that column are found together, in one pass over the separators
// and line ends, without splitting each line on its own. Its onLine takes
// (text, column), the column empty when the line has too few.
#ifndef VESNIK_CONTACTS_COLUMNWALK_H
#define VESNIK_CONTACTS_COLUMNWALK_H

#include <cstddef>
#include <string_view>

#include "Bytes16.h"
#include "Columns.h"
#include "LineFilters.h"
#include "LineFormat.h"

namespace vesnik {

struct LinesWithColumn {
    std::size_t columnIndex;

    template <class OnLine>
    bool forEachIn(std::string_view lines, OnLine& onLine) const {
        if (findNul(lines) == nullptr) {
            return walk(lines, onLine);
        }
        // A NUL ends a line's text, which the walk does not look for.
        auto withColumn = [&](std::string_view text) {
            return onLine(text, columnAt(text, columnIndex));
        };
        return EveryLine{}.forEachIn(lines, withColumn);
    }

  private:
    // Walks a run that holds no NUL from one separator or line end to the
    // next.
    template <class OnLine>
    bool walk(std::string_view lines, OnLine& onLine) const {
        char const* const data = lines.data();
        char const* const end = data + lines.size();
        char const* lineStart = data;
        char const* columnStart = data;  // just past the last separator
        std::size_t columnsSeen = 0;
        std::string_view column;
        auto const endColumn = [&](char const* columnEnd) {
            if (columnEnd > columnStart) {
                if (columnsSeen == columnIndex) {
                    column = std::string_view(columnStart,
                                              static_cast<std::size_t>(columnEnd - columnStart));
                }
                ++columnsSeen;
            }
        };
        // Ends the line whose bytes run to lineEnd; false when onLine says
        // stop.
        auto const endLine = [&](char const* lineEnd, bool endedByLineFeed) {
            auto const text =
                lineText(std::string_view(lineStart, static_cast<std::size_t>(lineEnd - lineStart)),
                         endedByLineFeed, false);
            endColumn(text.data() + text.size());
            bool const goOn = text.empty() || onLine(text, column);
            column = std::string_view();
            columnsSeen = 0;
            return goOn;
        };
        auto const events = [](char const* bytes) {
            auto const block = bytes16::load(bytes);
            return bytes16::Matches(columnSeparatorsIn(block) | lineFeedsIn(block));
        };
        char const* const stoppedAt =
            bytes16::findEach(data, end, bytes16::kWidth, events, [&](char const* at) {
                if (*at != kLineFeed) {
                    endColumn(at);
                } else if (!endLine(at, true)) {
                    return false;
                } else {
                    lineStart = at + 1;
                }
                columnStart = at + 1;
                return true;
            });
        if (stoppedAt != end) {
            return false;
        }
        // The source's last line, when no LF ends it.
        return lineStart == end || endLine(end, false);
    }
};

}  // namespace vesnik

#endif
