// A line filter for the queries that look at the first columns of every
// line: the lines and their columns are found together, in one pass over the
// separators and line ends, without splitting each line on its own. Its
// onLine takes (text, columns): the column at lastColumn as splitColumns
// gives it, and those before it too when kEarlierToo; the others, and those
// the line lacks, empty.
#ifndef VESNIK_CONTACTS_COLUMNWALK_H
#define VESNIK_CONTACTS_COLUMNWALK_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "Bytes16.h"
#include "Columns.h"
#include "LineFilters.h"
#include "LineFormat.h"

namespace vesnik {

template <bool kEarlierToo>
struct LinesWithColumns {
    std::size_t lastColumn;

    template <class OnLine>
    bool forEachIn(std::string_view lines, OnLine& onLine) const {
        if (findNul(lines) == nullptr) {
            return walk(lines, onLine);
        }
        // A NUL ends a line's text, which the walk does not look for.
        auto withColumns = [&](std::string_view text) {
            Columns columns{};
            if constexpr (kEarlierToo) {
                columns = splitColumns(text);
                std::fill(columns.begin() + static_cast<std::ptrdiff_t>(lastColumn) + 1,
                          columns.end(), std::string_view());
            } else {
                columns[lastColumn] = columnAt(text, lastColumn);
            }
            return onLine(text, columns);
        };
        return EveryLine{}.forEachIn(lines, withColumns);
    }

  private:
    static constexpr std::size_t kChunk = 64;
    static constexpr std::size_t kNone = ~std::size_t{0};

    // Bit i of each mask stands for byte i of a chunk of up to 64 bytes.
    struct ChunkMasks {
        std::uint64_t separators;  // ',', TAB, LF, and a CR right before an LF
        std::uint64_t lineFeeds;
    };

    static ChunkMasks masksOf(char const* bytes, std::size_t count, bool lineFeedFollows) {
        char padded[kChunk] = {};
        if (count < kChunk) {
            std::memcpy(padded, bytes, count);
            bytes = padded;
        }
        std::uint64_t separators = 0;
        std::uint64_t lineFeeds = 0;
        std::uint64_t carriageReturns = 0;
        for (std::size_t at = 0; at < kChunk; at += bytes16::kWidth) {
            auto const block = bytes16::load(bytes + at);
            separators |= std::uint64_t{bytes16::bitsOf(columnSeparatorsIn(block))} << at;
            lineFeeds |= std::uint64_t{bytes16::bitsOf(lineFeedsIn(block))} << at;
            carriageReturns |= std::uint64_t{bytes16::bitsOf(carriageReturnsIn(block))} << at;
        }
        // A CR that a CR LF line end puts before the LF is not part of the
        // text, so it ends a column as a separator would.
        std::uint64_t const beforeLineFeed = lineFeeds >> 1 | std::uint64_t{lineFeedFollows} << 63;
        return {separators | lineFeeds | (carriageReturns & beforeLineFeed), lineFeeds};
    }

    // The bits of mask from bit from on.
    static std::uint64_t from(std::uint64_t mask, std::size_t bit) {
        return bit >= kChunk ? 0 : mask & (~std::uint64_t{0} << bit);
    }

    // Walks a run that holds no NUL sixty-four bytes at a time: a column
    // starts at a byte that is no separator right after one that is (or at a
    // line's start) and ends at the next separator, so each line's first
    // columns are found by counting bits, whatever the line's other columns
    // hold.
    template <class OnLine>
    bool walk(std::string_view lines, OnLine& onLine) const {
        char const* const data = lines.data();
        std::size_t const size = lines.size();
        std::size_t lineStart = 0;
        std::size_t columnsSeen = 0;      // column starts taken on this line
        std::size_t columnStart = kNone;  // of the last one taken, until its end is found
        Columns columns{};
        bool afterSeparator = true;  // a run begins where a line does
        auto const endLine = [&](std::size_t lineEnd, bool endedByLineFeed) {
            auto const text = lineText(std::string_view(data + lineStart, lineEnd - lineStart),
                                       endedByLineFeed, false);
            bool const goOn = text.empty() || onLine(text, columns);
            columnsSeen = 0;
            columnStart = kNone;
            if constexpr (kEarlierToo) {
                columns = Columns{};
            } else {
                columns[lastColumn] = std::string_view();
            }
            return goOn;
        };
        for (std::size_t chunk = 0; chunk < size; chunk += kChunk) {
            std::size_t const count = std::min(kChunk, size - chunk);
            bool const lineFeedFollows =
                count == kChunk && chunk + count < size && data[chunk + count] == kLineFeed;
            auto const masks = masksOf(data + chunk, count, lineFeedFollows);
            std::uint64_t const valid =
                count == kChunk ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
            std::uint64_t starts =
                ~masks.separators & (masks.separators << 1 | std::uint64_t{afterSeparator}) & valid;
            afterSeparator = (masks.separators >> (count - 1) & 1) != 0;
            std::uint64_t lineFeeds = masks.lineFeeds;
            for (;;) {
                std::size_t const lineFeed =
                    lineFeeds != 0 ? static_cast<std::size_t>(__builtin_ctzll(lineFeeds)) : kChunk;
                std::uint64_t const beforeLineFeed =
                    lineFeed == kChunk ? ~std::uint64_t{0} : (std::uint64_t{1} << lineFeed) - 1;
                std::uint64_t lineStarts = starts & beforeLineFeed;
                for (;;) {
                    if (columnStart == kNone) {
                        // Columns not wanted are only counted.
                        for (; !kEarlierToo && columnsSeen < lastColumn && lineStarts != 0;
                             ++columnsSeen) {
                            lineStarts &= lineStarts - 1;
                        }
                        if (columnsSeen > lastColumn || lineStarts == 0) {
                            break;
                        }
                        columnStart = chunk + static_cast<std::size_t>(__builtin_ctzll(lineStarts));
                        lineStarts &= lineStarts - 1;
                    }
                    std::uint64_t const ends =
                        from(masks.separators, columnStart > chunk ? columnStart - chunk : 0);
                    if (ends == 0) {
                        break;
                    }
                    std::size_t const columnEnd =
                        chunk + static_cast<std::size_t>(__builtin_ctzll(ends));
                    columns[columnsSeen++] =
                        std::string_view(data + columnStart, columnEnd - columnStart);
                    columnStart = kNone;
                }
                if (lineFeed == kChunk) {
                    break;
                }
                if (!endLine(chunk + lineFeed, true)) {
                    return false;
                }
                lineStart = chunk + lineFeed + 1;
                starts &= ~beforeLineFeed;
                lineFeeds &= lineFeeds - 1;
            }
        }
        // The source's last line, when no LF ends it.
        if (columnStart != kNone) {
            columns[columnsSeen] = std::string_view(data + columnStart, size - columnStart);
        }
        return lineStart == size || endLine(size, false);
    }
};

}  // namespace vesnik

#endif
