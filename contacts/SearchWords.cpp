#include "SearchWords.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "ByteRarity.h"
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
    : upper_(asciiUpper(word)),
      fallback_(upper_.size(), 0),
      folded_(foldedKey(upper_, LetterCase::kFolded, bytes16::kWidth)),
      commonness_(commonnessOf(upper_)) {
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

int SearchWord::commonnessOf(std::string_view upper) {
    int rarest = kCommonerThanAnyByte;
    int nextRarest = kCommonerThanAnyByte;
    for (char const c : upper) {
        int const here = byteCommonness(c, LetterCase::kFolded);
        if (here < rarest) {
            nextRarest = rarest;
            rarest = here;
        } else if (here < nextRarest) {
            nextRarest = here;
        }
    }
    return rarest + nextRarest;
}

bool SearchWord::canBeInAColumn() const {
    return std::none_of(upper_.begin(), upper_.end(),
                        [](char c) { return isSeparator(c) || c == '\0'; });
}

char const* SearchWord::skipToFirstByte(char const* position, char const* end) const {
    bytes16::Block const foldBits = bytes16::splat(static_cast<unsigned char>(folded_.foldBits[0]));
    bytes16::Block const wanted = bytes16::splat(static_cast<unsigned char>(folded_.bytes[0]));
    for (; end - position >= static_cast<std::ptrdiff_t>(bytes16::kWidth);
         position += bytes16::kWidth) {
        bytes16::Matches matches((bytes16::load(position) | foldBits) == wanted);
        if (matches.any()) {
            return position + matches.takeFirst();
        }
    }
    while (position != end && toAsciiUpper(*position) != upper_[0]) {
        ++position;
    }
    return position;
}

std::size_t SearchWord::agreeingBytes(char const* position, std::size_t matched) const {
    auto const folded = bytes16::load(position) | bytes16::load(folded_.foldBits.data() + matched);
    std::uint32_t const differing =
        bytes16::bitsOf(folded != bytes16::load(folded_.bytes.data() + matched));
    return differing != 0 ? static_cast<std::size_t>(__builtin_ctz(differing)) : bytes16::kWidth;
}

bool SearchWord::isIn(std::string_view text) const {
    std::size_t const size = upper_.size();
    if (size == 0) {
        return true;
    }
    char const* position = text.data();
    char const* const end = position + text.size();
    std::size_t matched = 0;
    // Whether the last byte went on with the match without falling back:
    // then the next ones are compared sixteen at a time.
    bool agreed = false;
    // Each byte is read once, by the skip, by a run of agreeing bytes or by
    // one step of the match, and a failed match falls back at most as far as
    // it came.
    while (static_cast<std::size_t>(end - position) >= size - matched) {
        if (matched == 0) {
            position = skipToFirstByte(position, end);
            if (static_cast<std::size_t>(end - position) < size) {
                return false;
            }
        } else if (agreed && end - position >= static_cast<std::ptrdiff_t>(bytes16::kWidth)) {
            std::size_t const agreeing = std::min(agreeingBytes(position, matched), size - matched);
            position += agreeing;
            matched += agreeing;
            if (matched == size) {
                return true;
            }
            if (agreeing == bytes16::kWidth) {
                continue;
            }
        }
        char const upper = toAsciiUpper(*position++);
        agreed = upper == upper_[matched];
        while (matched > 0 && upper != upper_[matched]) {
            matched = fallback_[matched];
        }
        if (upper == upper_[matched] && ++matched == size) {
            return true;
        }
    }
    return false;
}

void orderForSearch(std::vector<SearchWord>& words) {
    std::sort(words.begin(), words.end(), [](SearchWord const& a, SearchWord const& b) {
        if (a.commonness() != b.commonness()) {
            return a.commonness() < b.commonness();
        }
        return a.upper().size() != b.upper().size() ? a.upper().size() > b.upper().size()
                                                    : a.upper() < b.upper();
    });
    words.erase(std::unique(words.begin(), words.end(),
                            [](SearchWord const& a, SearchWord const& b) {
                                return a.upper() == b.upper();
                            }),
                words.end());
}

LinesWithWord::LinesWithWord(SearchWord const& word)
    : word_(word), probes_(word.upper(), LetterCase::kFolded, KeyPlace::kAnywhereUnchecked) {}

char const* LinesWithWord::find(char const* begin, char const* end) const {
    for (char const* from = begin; from != end;) {
        char const* const place = probes_.find(from, end);
        if (place == end) {
            return end;
        }
        // The word cannot start before the first place its probes stand.
        auto const* lineFeed = static_cast<char const*>(
            std::memchr(place, kLineFeed, static_cast<std::size_t>(end - place)));
        char const* const lineEnd = lineFeed != nullptr ? lineFeed : end;
        if (word_.isIn(std::string_view(place, static_cast<std::size_t>(lineEnd - place)))) {
            return place;
        }
        from = lineFeed != nullptr ? lineFeed + 1 : end;
    }
    return end;
}

}  // namespace vesnik
