// The rules of the address-book format that every reader of it shares: what
// separates columns, what ends a line and what a line's text is.
#ifndef VESNIK_CONTACTS_LINEFORMAT_H
#define VESNIK_CONTACTS_LINEFORMAT_H

#include <cstddef>
#include <cstring>
#include <string_view>

#include "Bytes16.h"

namespace vesnik {

inline constexpr std::size_t kColumnCount = 5;
inline constexpr std::size_t kEmailColumn = 2;
inline constexpr std::size_t kContactIdColumn = 3;

inline constexpr char kLineFeed = '\n';
inline constexpr char kCarriageReturn = '\r';

// A comma or a TAB separates columns; the LF that ends a line ends its last
// column too.
inline constexpr char kColumnSeparators[] = {',', '\t'};

constexpr bool isColumnSeparator(char c) {
    return c == kColumnSeparators[0] || c == kColumnSeparators[1];
}

// Every byte after which a column starts.
inline constexpr char kSeparators[] = {kColumnSeparators[0], kColumnSeparators[1], kLineFeed};

constexpr bool isSeparator(char c) {
    return isColumnSeparator(c) || c == kLineFeed;
}

inline bytes16::Block columnSeparatorsIn(bytes16::Block block) {
    return (block == bytes16::splat(kColumnSeparators[0])) |
           (block == bytes16::splat(kColumnSeparators[1]));
}

inline bytes16::Block lineFeedsIn(bytes16::Block block) {
    return block == bytes16::splat(kLineFeed);
}

inline bytes16::Block carriageReturnsIn(bytes16::Block block) {
    return block == bytes16::splat(kCarriageReturn);
}

// The bytes that isSeparator holds for: a column starts right after one.
inline bytes16::Block separatorsIn(bytes16::Block block) {
    return columnSeparatorsIn(block) | lineFeedsIn(block);
}

// The bytes where a column's text ends: a separator, an LF, or a NUL, which
// ends the line's text (see lineText). A CR before an LF is the caller's to
// leave out.
inline bytes16::Block columnEndsIn(bytes16::Block block) {
    return separatorsIn(block) | (block == bytes16::splat('\0'));
}

// A line's bytes before its LF, less the one CR that a CR LF line end puts
// there; a CR anywhere else is data.
inline std::string_view withoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == kCarriageReturn) {
        line.remove_suffix(1);
    }
    return line;
}

// A NUL ends a line's text: what follows it on the line is never read.
inline char const* findNul(std::string_view bytes) {
    return static_cast<char const*>(std::memchr(bytes.data(), '\0', bytes.size()));
}

// The text of one line given its bytes without the LF and whether an LF
// ended it. When the caller knows the bytes hold no NUL it may say so, and
// they are not searched for one. A line whose text is empty is blank.
inline std::string_view lineText(std::string_view line, bool endedByLineFeed,
                                 bool mayHoldNul = true) {
    if (mayHoldNul) {
        if (char const* nul = findNul(line)) {
            return line.substr(0, static_cast<std::size_t>(nul - line.data()));
        }
    }
    return endedByLineFeed ? withoutCarriageReturn(line) : line;
}

}  // namespace vesnik

#endif
