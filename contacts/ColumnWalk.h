// Line filters for the queries that look at the columns of every line: the
// lines and their columns are found together, in one pass over the
// separators and line ends, without splitting each line on its own.
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

// The separators and line ends of sixty-four bytes at a time, as bits.
struct ColumnBits {
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
};

// Every line with one of its columns: onLine takes (text, column), the
// column empty when the line has too few.
struct LinesWithColumn : private ColumnBits {
    explicit LinesWithColumn(std::size_t index) : columnIndex(index) {}

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
    // Walks a run that holds no NUL sixty-four bytes at a time: a column
    // starts at a byte that is no separator right after one that is (or at a
    // line's start), so the wanted column of each line is found by counting
    // bits, whatever the line's other columns hold.
    template <class OnLine>
    bool walk(std::string_view lines, OnLine& onLine) const {
        char const* const data = lines.data();
        std::size_t const size = lines.size();
        std::size_t lineStart = 0;
        std::size_t columnsSeen = 0;      // column starts seen on this line
        std::size_t columnStart = kNone;  // of the wanted column, until its end is found
        std::string_view column;
        bool afterSeparator = true;  // a run begins where a line does
        auto const endLine = [&](std::size_t lineEnd, bool endedByLineFeed) {
            auto const text = lineText(std::string_view(data + lineStart, lineEnd - lineStart),
                                       endedByLineFeed, false);
            bool const goOn = text.empty() || onLine(text, column);
            columnsSeen = 0;
            columnStart = kNone;
            column = std::string_view();
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
                if (columnStart == kNone && columnsSeen <= columnIndex) {
                    // Counted a start at a time: the wanted column is among
                    // a line's first few.
                    for (; columnsSeen < columnIndex && lineStarts != 0; ++columnsSeen) {
                        lineStarts &= lineStarts - 1;
                    }
                    if (lineStarts != 0) {
                        columnStart = chunk + static_cast<std::size_t>(__builtin_ctzll(lineStarts));
                        ++columnsSeen;
                    }
                }
                if (columnStart != kNone && column.empty()) {
                    std::uint64_t const ends =
                        from(masks.separators, columnStart > chunk ? columnStart - chunk : 0);
                    if (ends != 0) {
                        std::size_t const columnEnd =
                            chunk + static_cast<std::size_t>(__builtin_ctzll(ends));
                        column = std::string_view(data + columnStart, columnEnd - columnStart);
                    }
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
        if (columnStart != kNone && column.empty()) {
            column = std::string_view(data + columnStart, size - columnStart);
        }
        return lineStart == size || endLine(size, false);
    }
};

// Every line with all its columns: onLine takes (text, columns), as
// splitColumns gives them.
struct LinesWithColumns : private ColumnBits {
    template <class OnLine>
    bool forEachIn(std::string_view lines, OnLine& onLine) const {
        if (findNul(lines) == nullptr) {
            return walk(lines, onLine);
        }
        auto withColumns = [&](std::string_view text) { return onLine(text, splitColumns(text)); };
        return EveryLine{}.forEachIn(lines, withColumns);
    }

  private:
    // Walks a run that holds no NUL sixty-four bytes at a time: a column
    // starts at a byte that is no separator right after one that is (or at a
    // line's start) and ends at the next separator, so a line's columns are
    // found by counting bits.
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
            columns = Columns{};
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
                        if (columnsSeen == kColumnCount || lineStarts == 0) {
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
