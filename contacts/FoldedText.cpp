#include "FoldedText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "AsciiCase.h"
#include "LineFormat.h"

namespace vesnik {

namespace {

constexpr bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of bytes, 0 when
// there is none (an ASCII byte is a sequence of 1). Overlong forms,
// surrogates and code points past U+10FFFF are not well-formed.
std::size_t sequenceLength(std::string_view bytes) {
    auto const at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    unsigned char const lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    // The second byte's range narrows where the lead alone would allow an
    // overlong form, a surrogate or too high a code point.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(at(i))) {
            return 0;
        }
    }
    return length;
}

// Writes the UTF-8 of a code point below U+110000; gives its length.
std::size_t encode(char32_t codePoint, char* bytes) {
    if (codePoint < 0x80) {
        bytes[0] = static_cast<char>(codePoint);
        return 1;
    }
    std::size_t const length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    for (std::size_t i = length - 1; i > 0; --i) {
        bytes[i] = static_cast<char>(0x80 | (codePoint & 0x3F));
        codePoint >>= 6;
    }
    bytes[0] = static_cast<char>((0xF00u >> length) | codePoint);
    return length;
}

char32_t decoded(std::string_view sequence) {
    auto const byte = [&](std::size_t i) { return static_cast<char32_t>(sequence[i]) & 0xFF; };
    switch (sequence.size()) {
        case 1:
            return byte(0);
        case 2:
            return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
        case 3:
            return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        default:
            return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 |
                   (byte(3) & 0x3F);
    }
}

// The folds of code points, each block asked for once per run of code
// points that share one.
class FoldLookup {
  public:
    explicit FoldLookup(CodePointFolds const& folds) : folds_(folds) {}

    // The fold of a well-formed sequence, and its code point's traits.
    std::string_view foldOf(std::string_view sequence, std::uint8_t& traits) {
        char32_t const codePoint = decoded(sequence);
        std::uint32_t const highBits = codePoint >> 8;
        if (block_ == nullptr || highBits != highBits_) {
            block_ = &folds_.block(highBits);
            highBits_ = highBits;
        }
        FoldedCodePoint const& folded = block_->codePoints[codePoint & 0xFF];
        traits = folded.traits;
        return (traits & kFoldsToItself) != 0
                   ? sequence
                   : std::string_view(block_->text).substr(folded.offset, folded.length);
    }

  private:
    CodePointFolds const& folds_;
    FoldBlock const* block_ = nullptr;
    std::uint32_t highBits_ = 0;
};

// Walks text one piece at a time: a well-formed sequence with its code
// point's fold, or a byte of no sequence.
class FoldWalk {
  public:
    FoldWalk(std::string_view text, CodePointFolds const& folds) : text_(text), lookup_(folds) {}

    // The next piece: its bytes, its fold and its traits; false at the end.
    bool next(std::string_view& bytes, std::string_view& fold, std::uint8_t& traits) {
        if (text_.empty()) {
            return false;
        }
        std::size_t const length = sequenceLength(text_);
        bytes = text_.substr(0, length != 0 ? length : 1);
        text_.remove_prefix(bytes.size());
        if (length == 0) {
            fold = bytes;
            traits = 0;
        } else {
            fold = lookup_.foldOf(bytes, traits);
        }
        return true;
    }

  private:
    std::string_view text_;
    FoldLookup lookup_;
};

// Writes at the end of a string grown ahead of what is written, so that a
// line costs few allocations and no check a byte.
class Appender {
  public:
    explicit Appender(std::string& out) : out_(out), size_(out.size()) {}
    ~Appender() { out_.resize(size_); }
    Appender(Appender const&) = delete;
    Appender& operator=(Appender const&) = delete;

    // Where count more bytes may be written.
    char* room(std::size_t count) {
        if (out_.size() - size_ < count) {
            out_.resize(std::max(out_.size() * 2, size_ + count));
        }
        return out_.data() + size_;
    }
    void wrote(std::size_t count) { size_ += count; }

  private:
    std::string& out_;
    std::size_t size_;
};

}  // namespace

void appendFolded(std::string_view bytes, CodePointFolds const& folds, std::string& out) {
    Appender appender(out);
    FoldLookup lookup(folds);
    char const* position = bytes.data();
    char const* const end = position + bytes.size();
    while (position != end) {
        // ASCII folds to itself, letters in lower case, in every mode.
        char* const ascii = appender.room(static_cast<std::size_t>(end - position));
        std::size_t count = 0;
        for (; position != end && static_cast<unsigned char>(*position) < 0x80; ++position) {
            char const c = *position;
            ascii[count++] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        }
        appender.wrote(count);
        if (position == end) {
            break;
        }
        std::string_view const rest(position, static_cast<std::size_t>(end - position));
        std::size_t const length = sequenceLength(rest);
        std::uint8_t traits = 0;
        std::string_view const fold =
            length != 0 ? lookup.foldOf(rest.substr(0, length), traits) : rest.substr(0, 1);
        std::memcpy(appender.room(fold.size()), fold.data(), fold.size());
        appender.wrote(fold.size());
        position += length != 0 ? length : 1;
    }
}

std::vector<std::string> foldedWords(std::string_view text, CodePointFolds const& folds) {
    std::string folded;
    appendFolded(text, folds, folded);
    std::vector<std::string> words(1);
    FoldWalk walk(folded, folds);
    std::string_view piece;
    std::string_view fold;
    std::uint8_t traits = 0;
    while (walk.next(piece, fold, traits)) {
        if ((traits & kWhiteSpace) == 0) {
            words.back() += piece;
        } else if (!words.back().empty()) {
            words.emplace_back();
        }
    }
    if (words.back().empty()) {
        words.pop_back();
    }
    return words;
}

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

MayFoldToHold::KeyBits MayFoldToHold::keysIn(std::string_view sequence) {
    char32_t const codePoint = decoded(sequence);
    std::uint16_t& index = blockIndex_[codePoint >> 8];
    if (index == 0) {
        FoldBlock const& block = folds_.block(codePoint >> 8);
        std::array<KeyBits, 256> bits{};
        char encoded[4];
        for (std::uint32_t low = 0; low < 256; ++low) {
            FoldedCodePoint const& folded = block.codePoints[low];
            std::string_view const fold =
                (folded.traits & kFoldsToItself) != 0
                    ? std::string_view(encoded,
                                       encode((codePoint & ~char32_t{0xFF}) | low, encoded))
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
    return blockKeys_[index][codePoint & 0xFF];
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
            found |= keysIn(line.substr(at, length));
        }
        at += length != 0 ? length : 1;
    }
    return found == allKeys_;
}

}  // namespace vesnik
