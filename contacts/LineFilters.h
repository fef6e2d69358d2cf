// Which lines of a run a scan looks at. Each filter's forEachIn(run, onLine)
// calls onLine with the text of the lines it lets through, in order, until
// onLine returns false, and tells whether it went on to the end of the run.
#ifndef VESNIK_CONTACTS_LINEFILTERS_H
#define VESNIK_CONTACTS_LINEFILTERS_H

#include <cstddef>
#include <cstring>
#include <string_view>

#include "LineFormat.h"

namespace vesnik {

// Every non-blank line.
struct EveryLine {
    template <class OnLine>
    bool forEachIn(std::string_view lines, OnLine& onLine) const {
        // One search of the whole run spares every line its own search for a
        // NUL.
        bool const mayHoldNul = findNul(lines) != nullptr;
        while (!lines.empty()) {
            auto const* lineFeed =
                static_cast<char const*>(std::memchr(lines.data(), kLineFeed, lines.size()));
            std::size_t const length = lineFeed != nullptr
                                           ? static_cast<std::size_t>(lineFeed - lines.data())
                                           : lines.size();
            auto const text = lineText(lines.substr(0, length), lineFeed != nullptr, mayHoldNul);
            if (!text.empty() && !onLine(text)) {
                return false;
            }
            lines.remove_prefix(lineFeed != nullptr ? length + 1 : length);
        }
        return true;
    }
};

// The line that holds found, a place in [from, end) where from starts a
// line: its text, where it ends, and where the next line starts.
struct LineAround {
    std::string_view text;
    char const* end;
    char const* next;
};

inline LineAround lineAround(char const* from, char const* found, char const* end) {
    std::string_view const before(from, static_cast<std::size_t>(found - from));
    std::size_t const previousLineFeed = before.rfind(kLineFeed);
    char const* const lineStart =
        previousLineFeed == std::string_view::npos ? from : from + previousLineFeed + 1;
    auto const* lineFeed = static_cast<char const*>(
        std::memchr(found, kLineFeed, static_cast<std::size_t>(end - found)));
    char const* const lineEnd = lineFeed != nullptr ? lineFeed : end;
    return {lineText(std::string_view(lineStart, static_cast<std::size_t>(lineEnd - lineStart)),
                     lineFeed != nullptr),
            lineEnd, lineFeed != nullptr ? lineFeed + 1 : end};
}

// Only the non-blank lines where a finder finds its key: a line where it
// finds nothing cannot match, so it is passed over without being split. A
// finder's find(begin, end) gives where the key may start, or end.
template <class Finder>
struct LinesHolding {
    Finder const& key;

    template <class OnLine>
    bool forEachIn(std::string_view lines, OnLine& onLine) const {
        char const* const end = lines.data() + lines.size();
        char const* from = lines.data();
        while (from != end) {
            char const* const found = key.find(from, end);
            if (found == end) {
                return true;
            }
            LineAround const line = lineAround(from, found, end);
            if (!line.text.empty() && !onLine(line.text)) {
                return false;
            }
            from = line.next;
        }
        return true;
    }
};

template <class Finder>
LinesHolding(Finder const&) -> LinesHolding<Finder>;

}  // namespace vesnik

#endif
