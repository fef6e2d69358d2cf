#include "KeyFinder.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "ByteRarity.h"
#include "Bytes16.h"
#include "Bytes32.h"
#include "LineFormat.h"

namespace vesnik {

namespace {

// A byte of the block compared so that, when letters are folded, either case
// of a letter matches.
struct ByteProbe {
    ByteProbe(FoldedKey const& key, std::size_t offset)
        : foldBits(bytes16::splat(static_cast<unsigned char>(key.foldBits[offset]))),
          wanted(bytes16::splat(static_cast<unsigned char>(key.bytes[offset]))) {}
    bytes16::Block foldBits;
    bytes16::Block wanted;
};

constexpr std::size_t kProbeSpan = KeyFinder::kProbeSpan;
// Enough places to tell which of the key's bytes rule most of them out.
constexpr std::size_t kPlacesToLearnFrom = 16;

// The offset of the rarest byte of the key.
std::size_t rarestOffset(std::string_view key, LetterCase letterCase) {
    std::size_t rarest = 0;
    for (std::size_t i = 1; i < key.size() && i < kProbeSpan; ++i) {
        if (byteKind(key[i], letterCase) < byteKind(key[rarest], letterCase)) {
            rarest = i;
        }
    }
    return rarest;
}

// The offset of the rarest other byte, the farthest from the first among
// equals: two bytes apart rule out more places than two neighbours.
std::size_t secondRarestOffset(std::string_view key, LetterCase letterCase, std::size_t first) {
    auto const distance = [first](std::size_t i) { return i > first ? i - first : first - i; };
    std::size_t second = first;
    for (std::size_t i = 0; i < key.size() && i < kProbeSpan; ++i) {
        if (i == first) {
            continue;
        }
        ByteKind const here = byteKind(key[i], letterCase);
        ByteKind const best = byteKind(key[second], letterCase);
        if (second == first || here < best || (here == best && distance(i) > distance(second))) {
            second = i;
        }
    }
    return second;
}

}  // namespace

KeyFinder::KeyFinder(std::string_view key, LetterCase letterCase, KeyPlace place)
    : key_(letterCase == LetterCase::kFolded ? asciiUpper(key) : std::string(key)),
      letterCase_(letterCase),
      place_(place),
      firstOffset_(rarestOffset(key_, letterCase)),
      secondOffset_(secondRarestOffset(key_, letterCase, firstOffset_)),
      canBeAColumn_(!key_.empty() && std::none_of(key_.begin(), key_.end(), isSeparator)),
      folded_(foldedKey(key_, letterCase, 0)) {}

bool KeyFinder::equals(std::string_view text) const {
    if (text.size() != key_.size()) {
        return false;
    }
    if (letterCase_ == LetterCase::kExact) {
        return std::memcmp(text.data(), key_.data(), key_.size()) == 0;
    }
    // Sixteen bytes at a time: a long key is compared at memcmp's pace.
    std::size_t at = 0;
    for (; at + bytes16::kWidth <= text.size(); at += bytes16::kWidth) {
        auto const folded =
            bytes16::load(text.data() + at) | bytes16::load(folded_.foldBits.data() + at);
        if (bytes16::Matches(folded != bytes16::load(folded_.bytes.data() + at)).any()) {
            return false;
        }
    }
    for (; at < text.size(); ++at) {
        if ((text[at] | folded_.foldBits[at]) != folded_.bytes[at]) {
            return false;
        }
    }
    return true;
}

bool KeyFinder::matchesAt(char const* position) const {
    return equals(std::string_view(position, key_.size()));
}

void KeyFinder::learnFrom(char const* start) const {
    if (placesSeen_ >= kPlacesToLearnFrom) {
        return;
    }
    // A miss by the byte the place before had there counts twice: a byte
    // that stays the same where the key differs (an identifier's leading
    // zeros, say) rules out more places than one that varies.
    std::size_t const span = std::min(key_.size(), kProbeSpan);
    for (std::size_t i = 0; i < span; ++i) {
        bool const miss = (start[i] | folded_.foldBits[i]) != folded_.bytes[i];
        bool const steady = start[i] == lastPlace_[i];
        misses_[i] = static_cast<std::uint8_t>(misses_[i] + (miss ? (steady ? 2 : 1) : 0));
        lastPlace_[i] = start[i];
    }
    if (++placesSeen_ < kPlacesToLearnFrom) {
        return;
    }
    // Both probes matched at every place seen, so they missed at none: any
    // byte that missed somewhere does better as the second. The first, the
    // rarest, stays. Among equals the earliest: identifiers that count up
    // change their leading digits least often.
    std::size_t second = secondOffset_;
    for (std::size_t i = 0; i < span; ++i) {
        second = misses_[i] > misses_[second] ? i : second;
    }
    // Once: past here a scan costs the same whatever the book holds.
    secondOffset_ = second;
}

char const* KeyFinder::find(char const* begin, char const* end) const {
    bool const anywhere = place_ == KeyPlace::kAnywhereUnchecked;
    if (key_.empty() || (!anywhere && !canBeAColumn_) ||
        static_cast<std::size_t>(end - begin) < key_.size()) {
        return end;
    }
    char const* const lastStart = end - key_.size();
    ByteProbe const first(folded_, firstOffset_);
    ByteProbe const second(folded_, secondOffset_);
    std::size_t const firstOffset = firstOffset_;
    std::size_t const secondOffset = secondOffset_;
    auto const candidates = [&](char const* block) {
        return bytes16::Matches(
            ((bytes16::load(block + firstOffset) | first.foldBits) == first.wanted) &
            ((bytes16::load(block + secondOffset) | second.foldBits) == second.wanted));
    };
    std::size_t const reach = std::max(firstOffset, secondOffset) + bytes16::kWidth;
    // Where wide blocks are on, the blocks without the probe pair are passed
    // over thirty-two bytes at a time; shift is where the block's probes
    // start, one byte on where each place must be a separator.
    auto const scan = [&](std::size_t shift, std::size_t scanReach, auto const& classify,
                          auto&& onMatch) {
        if (!bytes32::enabled()) {
            return bytes16::findEach(begin, end, scanReach, classify, onMatch);
        }
        auto const probe = [&](std::size_t offset) {
            return bytes32::Probe{shift + offset,
                                  static_cast<unsigned char>(folded_.foldBits[offset]),
                                  static_cast<unsigned char>(folded_.bytes[offset])};
        };
        bytes32::Probe const firstWide = probe(firstOffset);
        bytes32::Probe const secondWide = probe(secondOffset);
        return bytes16::findEach(begin, end, scanReach, classify, onMatch, [&](char const* at) {
            return bytes32::skipToPair(at, end, firstWide, secondWide,
                                       shift == 0 ? nullptr : kSeparators);
        });
    };
    if (anywhere) {
        // A key that would run past end does not stand there, and its probes
        // may have matched the zeros padding the last blocks.
        return scan(0, reach, candidates, [&](char const* start) { return start > lastStart; });
    }
    // The key is compared only where a column starts: right after a
    // separator, or at begin, where a line starts. Each block is read one
    // byte early, so that the probes count only there. The key holds no
    // separator, so a comparison stops within the column it starts in: the
    // columns of a run are compared once at most, whatever the key and the
    // book hold.
    if (begin <= lastStart && matchesAt(begin)) {
        return begin;
    }
    auto const columnStarts = [&](char const* before) {
        auto const probes =
            ((bytes16::load(before + 1 + firstOffset) | first.foldBits) == first.wanted) &
            ((bytes16::load(before + 1 + secondOffset) | second.foldBits) == second.wanted);
        // Most blocks hold no probe pair: the bytes before are read only
        // where one stands.
        if (bytes16::Matches const none(probes); !none.any()) {
            return none;
        }
        return bytes16::Matches(separatorsIn(bytes16::load(before)) & probes);
    };
    bool const learning = placesSeen_ < kPlacesToLearnFrom;
    char const* const stoppedBefore = scan(1, reach + 1, columnStarts, [&](char const* before) {
        char const* const start = before + 1;
        if (start > lastStart) {
            return true;
        }
        if (matchesAt(start)) {
            return false;
        }
        if (learning) {
            learnFrom(start);
        }
        return true;
    });
    return stoppedBefore == end ? end : stoppedBefore + 1;
}

}  // namespace vesnik
