#include "SearchWords.h"

#include <algorithm>

#include "AsciiCase.h"
#include "Bytes16.h"
#include "LineFormat.h"

namespace vesnik {

std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t const end = std::min(text.find_first_of(" \t", start), text.size());
        if (end > start) {
            words.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return words;
}

SearchWord::SearchWord(std::string_view word)
    : upper_(asciiUpper(word)), fallback_(upper_.size(), 0) {
    // border[j]: the longest proper prefix of the first j bytes that is also
    // their suffix.
    std::vector<std::size_t> border(upper_.size() + 1, 0);
    for (std::size_t i = 1, matched = 0; i < upper_.size(); ++i) {
        while (matched > 0 && upper_[i] != upper_[matched]) {
            matched = border[matched];
        }
        if (upper_[i] == upper_[matched]) {
            ++matched;
        }
        border[i + 1] = matched;
    }
    // A border followed by the same byte as the failed match would fail on
    // the same byte of text: skip it, so a run of one letter falls back in
    // one step rather than one per byte.
    for (std::size_t j = 1; j < upper_.size(); ++j) {
        std::size_t const b = border[j];
        fallback_[j] = upper_[b] != upper_[j] ? b : fallback_[b];
    }
}

bool SearchWord::canBeInAColumn() const {
    return std::none_of(upper_.begin(), upper_.end(),
                        [](char c) { return isSeparator(c) || c == '\0'; });
}

char const* SearchWord::skipToFirstByte(char const* position, char const* end) const {
    // The same test as KeyFinder's probes: bit 5 set on both sides folds an
    // ASCII letter's case, and only a letter's.
    char const first = upper_[0];
    bool const letter = first >= 'A' && first <= 'Z';
    auto const fold = static_cast<unsigned char>(letter ? 0x20 : 0);
    auto const wanted = static_cast<unsigned char>(static_cast<unsigned char>(first) | fold);
    bytes16::Block const foldBits = bytes16::splat(fold);
    bytes16::Block const wantedBits = bytes16::splat(wanted);
    for (; end - position >= static_cast<std::ptrdiff_t>(bytes16::kWidth);
         position += bytes16::kWidth) {
        bytes16::Matches matches((bytes16::load(position) | foldBits) == wantedBits);
        if (matches.any()) {
            return position + matches.takeFirst();
        }
    }
    while (position != end && toAsciiUpper(*position) != first) {
        ++position;
    }
    return position;
}

bool SearchWord::isIn(std::string_view text) const {
    if (upper_.empty()) {
        return true;
    }
    char const* position = text.data();
    char const* const end = position + text.size();
    std::size_t matched = 0;
    // Each byte is read once, by the skip or by the match, and a failed
    // match falls back at most as far as it came.
    while (static_cast<std::size_t>(end - position) >= upper_.size() - matched) {
        if (matched == 0) {
            position = skipToFirstByte(position, end);
            if (static_cast<std::size_t>(end - position) < upper_.size()) {
                return false;
            }
        }
        char const upper = toAsciiUpper(*position++);
        while (matched > 0 && upper != upper_[matched]) {
            matched = fallback_[matched];
        }
        if (upper == upper_[matched] && ++matched == upper_.size()) {
            return true;
        }
    }
    return false;
}

}  // namespace vesnik
