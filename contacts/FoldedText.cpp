#include "FoldedText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Utf8.h"

namespace vesnik {

namespace {

using utf8::decoded;
using utf8::sequenceLength;

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

}  // namespace vesnik
