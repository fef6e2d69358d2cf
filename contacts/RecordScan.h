// The record scan that every query runs: one pass over the file, in order.
#ifndef VESNIK_CONTACTS_RECORDSCAN_H
#define VESNIK_CONTACTS_RECORDSCAN_H

#include <cstring>
#include <string_view>

#include "KeyFinder.h"
#include "LineReader.h"

namespace vesnik {

// Hands the text of every non-blank line of a run of whole lines to onLine,
// in order, until onLine returns false; returns whether it went on to the end.
template <class OnLine>
bool forEachLineIn(std::string_view lines, OnLine& onLine) {
    // One search of the whole run spares every line its own search for a NUL.
    bool const mayHoldNul = std::memchr(lines.data(), '\0', lines.size()) != nullptr;
    while (!lines.empty()) {
        auto const* lineFeed =
            static_cast<char const*>(std::memchr(lines.data(), '\n', lines.size()));
        std::size_t const length =
            lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - lines.data()) : lines.size();
        auto const text = lineText(lines.substr(0, length), lineFeed != nullptr, mayHoldNul);
        if (!text.empty() && !onLine(text)) {
            return false;
        }
        lines.remove_prefix(lineFeed != nullptr ? length + 1 : length);
    }
    return true;
}

// The same for only those lines where the finder finds its key: a line where
// it finds nothing cannot match, so it is passed over without being split.
// A finder's find(begin, end) gives where the key may start, or end.
template <class Finder, class OnLine>
bool forEachLineHoldingIn(std::string_view lines, Finder const& key, OnLine& onLine) {
    char const* const end = lines.data() + lines.size();
    char const* from = lines.data();
    for (;;) {
        char const* const found = key.find(from, end);
        if (found == end) {
            return true;
        }
        std::string_view const before(from, static_cast<std::size_t>(found - from));
        std::size_t const previousLineFeed = before.rfind('\n');
        char const* const lineStart =
            previousLineFeed == std::string_view::npos ? from : from + previousLineFeed + 1;
        auto const* lineFeed = static_cast<char const*>(
            std::memchr(found, '\n', static_cast<std::size_t>(end - found)));
        char const* const lineEnd = lineFeed != nullptr ? lineFeed : end;
        auto const text =
            lineText(std::string_view(lineStart, static_cast<std::size_t>(lineEnd - lineStart)),
                     lineFeed != nullptr);
        if (!text.empty() && !onLine(text)) {
            return false;
        }
        from = lineFeed != nullptr ? lineFeed + 1 : end;
    }
}

// Every non-blank line the reader gives, in order, until onLine returns false.
template <class OnLine>
void forEachLine(LineReader& reader, OnLine&& onLine) {
    std::string_view lines;
    while (reader.nextLines(lines) && forEachLineIn(lines, onLine)) {
    }
}

// Every non-blank line where the finder finds its key, in order, until onLine returns
// false.
template <class Finder, class OnLine>
void forEachLineHolding(LineReader& reader, Finder const& key, OnLine&& onLine) {
    std::string_view lines;
    while (reader.nextLines(lines) && forEachLineHoldingIn(lines, key, onLine)) {
    }
}

// Runs scan on a reader of the file at path. Returns false, having read
// nothing, when the file cannot be opened. The file is closed before this
// returns, however it returns.
template <class Scan>
bool scanFile(char const* path, Scan&& scan) {
    InputFile const file(path);
    if (!file.isOpen()) {
        return false;
    }
    LineReader reader(file);
    scan(reader);
    return true;
}

}  // namespace vesnik

#endif
