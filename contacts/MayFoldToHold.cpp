#include "MayFoldToHold.h"

#include <algorithm>

#include "AsciiCase.h"
#include "Bytes16.h"
#include "LineFormat.h"
#include "Utf8.h"

namespace vesnik {

using utf8::decoded;
using utf8::encode;
using utf8::isContinuation;
using utf8::sequenceLength;

namespace {

// The lead bytes of two-byte sequences.
constexpr unsigned char kFirstTwoByteLead = 0xC2;
constexpr unsigned char kLastTwoByteLead = 0xDF;

}  // namespace

MayFoldToHold::MayFoldToHold(std::vector<SearchWord> const& words, CodePointFolds const& folds)
    : words_(words), folds_(folds), blockIndex_(kFoldBlockCount, 0), blockKeys_(1) {
    for (SearchWord const& searchWord : words) {
        std::string_view const word = searchWord.upper();
        KeyBits wordKeys = 0;
        bool ascii = true;
        for (std::size_t at = 0; at < word.size();) {
            std::size_t const length = sequenceLength(word.substr(at));
            ascii = ascii && static_cast<unsigned char>(word[at]) < 0x80;
            if (length != 0) {
                std::string key(word.substr(at, length));
                // Folds hold ASCII letters in lower case.
                key[0] = isAsciiLetter(key[0]) ? static_cast<char>(key[0] | 0x20) : key[0];
                auto const found = std::find(keys_.begin(), keys_.end(), key);
                if (found != keys_.end()) {
                    wordKeys |= KeyBits{1} << (found - keys_.begin());
                } else if (keys_.size() < 64) {
                    keys_.push_back(std::move(key));
                    wordKeys |= KeyBits{1} << (keys_.size() - 1);
                }
            }
            at += length != 0 ? length : 1;
        }
        if (wordKeys_.size() < kColumnWords) {
            wordKeys_.push_back(wordKeys);
            asciiWord_.push_back(ascii);
        }
    }
    everyWordByColumn_ =
        words.size() <= kColumnWords &&
        std::none_of(wordKeys_.begin(), wordKeys_.end(), [](KeyBits keys) { return keys == 0; });
    for (std::size_t key = 0; key < keys_.size(); ++key) {
        allKeys_ |= KeyBits{1} << key;
        if (keys_[key].size() == 1) {
            // An ASCII byte folds to itself, a letter to its small letter.
            char const c = keys_[key][0];
            asciiKeys_[static_cast<unsigned char>(c)] |= KeyBits{1} << key;
            asciiKeys_[static_cast<unsigned char>(toAsciiUpper(c))] |= KeyBits{1} << key;
        }
    }
}

std::array<MayFoldToHold::KeyBits, 256> const& MayFoldToHold::blockKeys(std::uint32_t highBits) {
    std::uint16_t& index = blockIndex_[highBits];
    if (index == 0) {
        FoldBlock const& block = folds_.block(highBits);
        std::array<KeyBits, 256> bits{};
        char encoded[4];
        for (std::uint32_t low = 0; low < 256; ++low) {
            FoldedCodePoint const& folded = block.codePoints[low];
            std::string_view const fold =
                (folded.traits & kFoldsToItself) != 0
                    ? std::string_view(encoded, encode(highBits << 8 | low, encoded))
                    : std::string_view(block.text).substr(folded.offset, folded.length);
            for (std::size_t key = 0; key < keys_.size(); ++key) {
                if (fold.find(keys_[key]) != std::string_view::npos) {
                    bits[low] |= KeyBits{1} << key;
                }
            }
        }
        blockKeys_.push_back(bits);
        index = static_cast<std::uint16_t>(blockKeys_.size() - 1);
    }
    return blockKeys_[index];
}

MayFoldToHold::KeyBits MayFoldToHold::keysIn(std::string_view column) {
    KeyBits found = 0;
    std::size_t const size = column.size();
    for (std::size_t at = 0; at < size && found != allKeys_;) {
        auto const c = static_cast<unsigned char>(column[at]);
        if (c < 0x80) {
            found |= asciiKeys_[c];
            ++at;
            continue;
        }
        // Most names outside ASCII are two bytes a code point: decoded here
        // and looked up at once, the rest by the general rule.
        if (c >= kFirstTwoByteLead && c <= kLastTwoByteLead && at + 1 < size &&
            isContinuation(static_cast<unsigned char>(column[at + 1]))) {
            found |= twoByteKeys_[(c & 0x1Fu) << 6 |
                                  (static_cast<unsigned char>(column[at + 1]) & 0x3Fu)];
            at += 2;
            continue;
        }
        std::size_t const length = sequenceLength(column.substr(at));
        if (length == 0) {
            ++at;
            continue;
        }
        char32_t const codePoint = decoded(column.substr(at, length));
        // Names keep to a block or two: the last one's keys are at hand.
        if (lastKeys_ == nullptr || codePoint >> 8 != lastHighBits_) {
            lastHighBits_ = codePoint >> 8;
            lastKeys_ = &blockKeys(lastHighBits_);
        }
        found |= (*lastKeys_)[codePoint & 0xFF];
        at += length;
    }
    return found;
}

namespace {

// Where the column from start ends (at a separator or the line's end), and
// whether its bytes are ASCII, and whether they are all continuation bytes
// and leads in [dullLow, dullHigh], which feed no key; sixteen bytes at a
// time while they fit. The facts come back apart, not as one object, which
// would be stored in pieces and read whole, a stall on every column.
std::size_t columnEnd(std::string_view line, std::size_t start, unsigned char dullLow,
                      unsigned char dullHigh, bool& ascii, bool& dull) {
    std::size_t at = start;
    std::uint32_t nonAscii = 0;
    std::uint32_t lively = 0;
    for (; line.size() - at >= bytes16::kWidth; at += bytes16::kWidth) {
        bytes16::Block const block = bytes16::load(line.data() + at);
        std::uint32_t const ends = bytes16::bitsOf(separatorsIn(block));
        std::uint32_t const high = bytes16::bitsOf(block);
        std::uint32_t const feedNone = bytes16::bitsOf(
            ((block & bytes16::splat(0xC0)) == bytes16::splat(0x80)) |
            ((block >= bytes16::splat(dullLow)) & (block <= bytes16::splat(dullHigh))));
        if (ends != 0) {
            auto const end = static_cast<std::size_t>(__builtin_ctz(ends));
            std::uint32_t const before = (std::uint32_t{1} << end) - 1;
            nonAscii |= high & before;
            lively |= ~feedNone & before;
            ascii = nonAscii == 0;
            dull = lively == 0;
            return at + end;
        }
        nonAscii |= high;
        lively |= ~feedNone & 0xFFFFu;
    }
    for (; at < line.size() && !isSeparator(line[at]); ++at) {
        auto const byte = static_cast<unsigned char>(line[at]);
        nonAscii |= byte & 0x80u;
        bool const feedsNone = (byte & 0xC0) == 0x80 || (byte >= dullLow && byte <= dullHigh);
        lively |= feedsNone ? 0u : 1u;
    }
    ascii = nonAscii == 0;
    dull = lively == 0;
    return at;
}

}  // namespace

void MayFoldToHold::learnTwoByteKeys() {
    // The longest run of two-byte leads none of whose 64 code points feeds a
    // key: most names keep to one script, whose bytes then pass unread.
    twoByteKeys_.assign(0x800, 0);
    unsigned lead = kFirstTwoByteLead;
    unsigned bestLow = 1;
    unsigned bestLength = 0;
    for (unsigned low = lead; lead <= kLastTwoByteLead; ++lead) {
        std::uint32_t const first = (lead & 0x1Fu) << 6;
        std::array<KeyBits, 256> const& keys = blockKeys(first >> 8);
        KeyBits fed = 0;
        for (std::uint32_t codePoint = first; codePoint < first + 64; ++codePoint) {
            twoByteKeys_[codePoint] = keys[codePoint & 0xFF];
            fed |= keys[codePoint & 0xFF];
        }
        if (fed != 0) {
            low = lead + 1;
        } else if (lead + 1 - low > bestLength) {
            bestLow = low;
            bestLength = lead + 1 - low;
        }
    }
    dullLow_ = static_cast<unsigned char>(bestLow);
    dullHigh_ = static_cast<unsigned char>(bestLow + bestLength - 1);
    twoByteKeysKnown_ = true;
}

bool MayFoldToHold::inSearchedColumns(std::string_view line, bool firstWordMayBeInIt) {
    // Columns end at a run of separators, which the first column's start
    // skips; the e-mail's end ends what is searched.
    std::string_view columns[kEmailColumn + 1];
    bool asciiColumns[kEmailColumn + 1] = {};
    KeyBits columnKeys[kEmailColumn + 1] = {};
    std::size_t count = 0;
    KeyBits found = 0;
    if (!twoByteKeysKnown_) {
        learnTwoByteKeys();
    }
    for (std::size_t at = 0; count <= kEmailColumn;) {
        while (at < line.size() && isSeparator(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            break;
        }
        bool ascii = true;
        bool dull = false;
        std::size_t const end = columnEnd(line, at, dullLow_, dullHigh_, ascii, dull);
        columns[count] = line.substr(at, end - at);
        asciiColumns[count] = ascii;
        // An ASCII column is looked in for the words themselves: its keys
        // are wanted only for the words that are not.
        if (!dull && (!ascii || !everyWordByColumn_)) {
            columnKeys[count] = keysIn(columns[count]);
            found |= columnKeys[count];
        }
        ++count;
        at = end;
    }
    if (!everyWordByColumn_ && found != allKeys_) {
        return false;
    }
    for (std::size_t word = 0; word < wordKeys_.size(); ++word) {
        KeyBits const keys = wordKeys_[word];
        if (keys == 0) {
            continue;
        }
        bool stands = false;
        for (std::size_t column = 0; column < count && !stands; ++column) {
            stands = !asciiColumns[column] && (columnKeys[column] & keys) == keys;
        }
        for (std::size_t column = 0; column < count && !stands; ++column) {
            stands = asciiColumns[column] && asciiWord_[word] &&
                     (word != 0 || firstWordMayBeInIt) && words_[word].isIn(columns[column]);
        }
        if (!stands) {
            return false;
        }
    }
    return true;
}

}  // namespace vesnik
