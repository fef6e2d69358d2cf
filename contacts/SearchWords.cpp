#include "SearchWords.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "ByteRarity.h"
#include "Bytes16.h"
#include "LineFormat.h"

namespace vesnik {

std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == ' ' || text[at] == '\t') {
            if (at > start) {
                words.push_back(text.substr(start, at - start));
            }
            start = at + 1;
        }
    }
    return words;
}

SearchWord::SearchWord(std::string_view word)
    : upper_(asciiUpper(word)),
      fallback_(upper_.size(), 0),
      folded_(foldedKey(upper_, LetterCase::kFolded, bytes16::kWidth)),
      commonness_(commonnessOf(word)) {
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

int commonnessOf(std::string_view word) {
    int rarest = kCommonerThanAnyByte;
    int nextRarest = kCommonerThanAnyByte;
    for (char const c : word) {
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

WordsOfASearch::WordsOfASearch(std::vector<std::string_view> const& words, std::size_t textSize)
    : words_(words), inTurn_(words.begin(), words.end()), budget_(textSize) {
    // Rarest first, then the longest, the most likely to rule a line out.
    // Only numbers are compared, so that many long words sort quickly; a
    // word given twice costs a pass more, which the budget counts.
    std::stable_sort(inTurn_.begin(), inTurn_.end(), [](SearchWord const& a, SearchWord const& b) {
        return a.commonness() != b.commonness() ? a.commonness() < b.commonness()
                                                : a.upper().size() > b.upper().size();
    });
}

bool WordsOfASearch::allIn(std::string_view span, std::size_t lineSize) {
    budget_ += kPassesPerLine * lineSize;
    for (std::size_t at = 0; !atOnce_ && at < inTurn_.size(); ++at) {
        if (spent_ > budget_) {
            atOnce_ = std::make_unique<WordSet>(words_);
            break;
        }
        // A word is looked for in at most the span and its own bytes.
        spent_ += span.size() + inTurn_[at].upper().size();
        if (!inTurn_[at].isIn(span)) {
            return false;
        }
    }
    return !atOnce_ || atOnce_->allIn(span);
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

WordSet::WordSet(std::vector<std::string_view> const& words) : nodes_(1) {
    for (std::string_view const word : words) {
        std::uint32_t node = 0;
        for (char const c : word) {
            auto const byte = static_cast<unsigned char>(toAsciiUpper(c));
            std::uint32_t next = child(node, byte);
            if (next == 0) {
                if (nodes_.size() >= UINT32_MAX) {
                    throw std::length_error("search words too long");
                }
                next = static_cast<std::uint32_t>(nodes_.size());
                Node& added = nodes_.emplace_back();
                added.byte = byte;
                added.nextSibling = nodes_[node].firstChild;
                nodes_[node].firstChild = next;
            }
            node = next;
        }
        words_ += nodes_[node].endsWord ? 0u : 1u;
        nodes_[node].endsWord = true;
    }
    for (std::uint32_t c = nodes_[0].firstChild; c != 0; c = nodes_[c].nextSibling) {
        fromRoot_[nodes_[c].byte] = c;
    }
    // Breadth first, so that a node's fallback, shorter, is known before its
    // children's are made from it.
    std::vector<std::uint32_t> queue;
    queue.reserve(nodes_.size());
    for (std::uint32_t c = nodes_[0].firstChild; c != 0; c = nodes_[c].nextSibling) {
        queue.push_back(c);
    }
    for (std::size_t at = 0; at < queue.size(); ++at) {
        std::uint32_t const node = queue[at];
        for (std::uint32_t c = nodes_[node].firstChild; c != 0; c = nodes_[c].nextSibling) {
            std::uint32_t const fallback = next(nodes_[node].fallback, nodes_[c].byte);
            nodes_[c].fallback = fallback;
            nodes_[c].nextWordEnd =
                nodes_[fallback].endsWord ? fallback : nodes_[fallback].nextWordEnd;
            queue.push_back(c);
        }
    }
}

std::uint32_t WordSet::child(std::uint32_t node, unsigned char byte) const {
    std::uint32_t c = nodes_[node].firstChild;
    while (c != 0 && nodes_[c].byte != byte) {
        c = nodes_[c].nextSibling;
    }
    return c;
}

std::uint32_t WordSet::next(std::uint32_t node, unsigned char byte) const {
    for (; node != 0; node = nodes_[node].fallback) {
        if (std::uint32_t const c = child(node, byte); c != 0) {
            return c;
        }
    }
    return fromRoot_[byte];
}

bool WordSet::allIn(std::string_view text) const {
    if (++passes_ == 0) {
        // Marks of passes long gone could pass for this one's.
        for (Node const& node : nodes_) {
            node.foundIn = 0;
        }
        passes_ = 1;
    }
    std::size_t found = 0;
    std::uint32_t node = 0;
    for (char const c : text) {
        node = next(node, static_cast<unsigned char>(toAsciiUpper(c)));
        // The words that end here: each is marked once a pass, and the ones
        // past a marked word were marked with it.
        for (std::uint32_t end = nodes_[node].endsWord ? node : nodes_[node].nextWordEnd;
             end != 0 && nodes_[end].foundIn != passes_; end = nodes_[end].nextWordEnd) {
            nodes_[end].foundIn = passes_;
            if (++found == words_) {
                return true;
            }
        }
    }
    return words_ == 0;
}

}  // namespace vesnik
