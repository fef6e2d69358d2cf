#include "FoldedText.h"

#include <cstdint>

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

// Walks text one piece at a time: a well-formed sequence with its code
// point's fold, or a byte of no sequence. Blocks are asked for once per run
// of code points that share one.
class FoldWalk {
  public:
    FoldWalk(std::string_view text, CodePointFolds const& folds) : text_(text), folds_(folds) {}

    // The next piece: its bytes, its fold and its traits; false at the end.
    bool next(std::string_view& bytes, std::string_view& fold, std::uint8_t& traits) {
        if (text_.empty()) {
            return false;
        }
        std::size_t const length = sequenceLength(text_);
        if (length == 0) {
            bytes = fold = text_.substr(0, 1);
            traits = 0;
            text_.remove_prefix(1);
            return true;
        }
        bytes = text_.substr(0, length);
        text_.remove_prefix(length);
        char32_t const codePoint = decoded(bytes);
        std::uint32_t const highBits = codePoint >> 8;
        if (block_ == nullptr || highBits != highBits_) {
            block_ = &folds_.block(highBits);
            highBits_ = highBits;
        }
        FoldedCodePoint const& folded = block_->codePoints[codePoint & 0xFF];
        traits = folded.traits;
        fold = (traits & kFoldsToItself) != 0
                   ? bytes
                   : std::string_view(block_->text).substr(folded.offset, folded.length);
        return true;
    }

  private:
    std::string_view text_;
    CodePointFolds const& folds_;
    FoldBlock const* block_ = nullptr;
    std::uint32_t highBits_ = 0;
};

}  // namespace

void appendFolded(std::string_view bytes, CodePointFolds const& folds, std::string& out) {
    FoldWalk walk(bytes, folds);
    std::string_view piece;
    std::string_view fold;
    std::uint8_t traits = 0;
    while (walk.next(piece, fold, traits)) {
        out += fold;
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

}  // namespace vesnik
