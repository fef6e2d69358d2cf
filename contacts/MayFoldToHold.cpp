#include "MayFoldToHold.h"

#include <algorithm>

#include "AsciiCase.h"
#include "LineFormat.h"
#include "Utf8.h"

namespace vesnik {

using utf8::decoded;
using utf8::encode;
using utf8::sequenceLength;

MayFoldToHold::MayFoldToHold(std::vector<std::string_view> const& words,
                             CodePointFolds const& folds)
    : folds_(folds), blockIndex_(kFoldBlockCount, 0), blockKeys_(1) {
    for (std::string_view const word : words) {
        for (std::size_t at = 0; at < word.size();) {
            std::size_t const length = sequenceLength(word.substr(at));
            if (length != 0) {
                std::string key(word.substr(at, length));
                // Folds hold ASCII letters in lower case.
                key[0] = isAsciiLetter(key[0]) ? static_cast<char>(key[0] | 0x20) : key[0];
                if (keys_.size() < 64 &&
                    std::find(keys_.begin(), keys_.end(), key) == keys_.end()) {
                    keys_.push_back(std::move(key));
                }
            }
            at += length != 0 ? length : 1;
        }
    }
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

bool MayFoldToHold::inSearchedColumns(std::string_view line) {
    KeyBits found = 0;
    // Columns end at a run of separators, which the first column's start
    // skips; the e-mail's end ends what is searched.
    std::size_t columnsEnded = 0;
    bool inColumn = false;
    for (std::size_t at = 0; at < line.size() && found != allKeys_;) {
        auto const c = static_cast<unsigned char>(line[at]);
        if (c < 0x80) {
            if (isSeparator(static_cast<char>(c))) {
                if (inColumn && ++columnsEnded == kEmailColumn + 1) {
                    break;
                }
                inColumn = false;
            } else {
                inColumn = true;
                found |= asciiKeys_[c];
            }
            ++at;
            continue;
        }
        inColumn = true;
        std::size_t const length = sequenceLength(line.substr(at));
        if (length != 0) {
            // Names keep to a block or two: the last one's keys are at hand.
            char32_t const codePoint = decoded(line.substr(at, length));
            if (lastKeys_ == nullptr || codePoint >> 8 != lastHighBits_) {
                lastHighBits_ = codePoint >> 8;
                lastKeys_ = &blockKeys(lastHighBits_);
            }
            found |= (*lastKeys_)[codePoint & 0xFF];
        }
        at += length != 0 ? length : 1;
    }
    return found == allKeys_;
}

}  // namespace vesnik
