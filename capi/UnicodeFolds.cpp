#include "UnicodeFolds.h"

#include <utf8proc.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "FoldTable.h"

namespace vesnik::capi {

namespace {

bool folds(FoldMode mode, FoldMode part) {
    return (static_cast<unsigned>(mode) & static_cast<unsigned>(part)) != 0;
}

utf8proc_option_t utf8procOptions(FoldMode mode) {
    int options = 0;
    if (folds(mode, FoldMode::kCase)) {
        options |= UTF8PROC_CASEFOLD;
    }
    if (folds(mode, FoldMode::kMarks)) {
        options |= UTF8PROC_COMPAT | UTF8PROC_DECOMPOSE | UTF8PROC_STRIPMARK;
    }
    return static_cast<utf8proc_option_t>(options);
}

template <std::size_t kSize>
char const* rewriteIn(CodePointRewrite const (&table)[kSize], utf8proc_int32_t codePoint) {
    for (CodePointRewrite const& rewrite : table) {
        if (rewrite.codePoint == static_cast<char32_t>(codePoint)) {
            return rewrite.ascii;
        }
    }
    return nullptr;
}

// The UTF-8 of a code point below 0x110000.
struct Utf8 {
    explicit Utf8(utf8proc_int32_t codePoint)
        : length(static_cast<std::size_t>(utf8proc_encode_char(codePoint, bytes))) {}
    std::string_view view() const { return {reinterpret_cast<char const*>(bytes), length}; }

    utf8proc_uint8_t bytes[4];
    std::size_t length;
};

// Appends the fold of codePoint in mode to text.
void appendFold(utf8proc_int32_t codePoint, FoldMode mode, std::string& text) {
    // The longest of Unicode's decompositions has 18 code points.
    utf8proc_int32_t room[32];
    std::vector<utf8proc_int32_t> more;
    utf8proc_int32_t* folded = room;
    utf8proc_ssize_t size = static_cast<utf8proc_ssize_t>(std::size(room));
    utf8proc_ssize_t count;
    while ((count = utf8proc_decompose_char(codePoint, folded, size, utf8procOptions(mode),
                                            nullptr)) > size) {
        more.resize(static_cast<std::size_t>(count));
        folded = more.data();
        size = count;
    }
    std::size_t const start = text.size();
    for (utf8proc_ssize_t i = 0; i < count; ++i) {
        char const* rewrite = nullptr;
        if (folds(mode, FoldMode::kMarks)) {
            rewrite = rewriteIn(kLettersWithoutDecomposition, folded[i]);
        }
        if (rewrite == nullptr && folds(mode, FoldMode::kCase)) {
            rewrite = rewriteIn(kApostrophes, folded[i]);
        }
        if (rewrite != nullptr) {
            text += rewrite;
        } else {
            text += Utf8(folded[i]).view();
        }
    }
    for (auto byte = text.begin() + static_cast<std::ptrdiff_t>(start); byte != text.end();
         ++byte) {
        if (*byte >= 'A' && *byte <= 'Z') {
            *byte = static_cast<char>(*byte - 'A' + 'a');
        }
    }
}

std::unique_ptr<FoldBlock> makeBlock(std::uint32_t highBits, FoldMode mode) {
    auto block = std::make_unique<FoldBlock>();
    for (std::uint32_t low = 0; low < 256; ++low) {
        auto const codePoint = static_cast<utf8proc_int32_t>(highBits << 8 | low);
        std::size_t const offset = block->text.size();
        appendFold(codePoint, mode, block->text);
        std::size_t const length = block->text.size() - offset;
        std::uint8_t const traits = codePointTraits(static_cast<char32_t>(codePoint));
        if (block->text.compare(offset, length, Utf8(codePoint).view()) == 0) {
            block->text.resize(offset);
            block->codePoints[low] = {0, 0, static_cast<std::uint8_t>(traits | kFoldsToItself)};
        } else if (length <= UINT8_MAX) {
            block->codePoints[low] = {static_cast<std::uint32_t>(offset),
                                      static_cast<std::uint8_t>(length), traits};
        } else {
            throw std::length_error("a code point's fold is longer than a block records");
        }
    }
    return block;
}

FoldBlock selfFoldingBlock(std::uint8_t traits) {
    FoldBlock block;
    block.codePoints.fill({0, 0, static_cast<std::uint8_t>(traits | kFoldsToItself)});
    return block;
}

// The blocks whose code points all fold to themselves with the same traits
// (unassigned planes, private use, CJK ideographs, Hangul where marks stay):
// one copy each, shared by every mode.
FoldBlock const kSelfFoldingBlocks[] = {selfFoldingBlock(0), selfFoldingBlock(kLetterOrDigit)};

FoldBlock const* sharedCopyOf(FoldBlock const& block) {
    auto const same = [](FoldedCodePoint const& a, FoldedCodePoint const& b) {
        return a.offset == b.offset && a.length == b.length && a.traits == b.traits;
    };
    for (FoldBlock const& shared : kSelfFoldingBlocks) {
        if (std::equal(block.codePoints.begin(), block.codePoints.end(), shared.codePoints.begin(),
                       same)) {
            return &shared;
        }
    }
    return nullptr;
}

bool isShared(FoldBlock const* block) {
    return block >= std::begin(kSelfFoldingBlocks) && block < std::end(kSelfFoldingBlocks);
}

}  // namespace

UnicodeFolds::~UnicodeFolds() {
    for (auto& slot : blocks_) {
        FoldBlock const* const block = slot.load(std::memory_order_acquire);
        if (!isShared(block)) {
            delete block;
        }
    }
}

FoldBlock const& UnicodeFolds::firstMade(std::uint32_t highBits) const {
    std::unique_ptr<FoldBlock> made = makeBlock(highBits, mode_);
    FoldBlock const* const shared = sharedCopyOf(*made);
    FoldBlock const* const candidate = shared != nullptr ? shared : made.get();
    FoldBlock const* published = nullptr;
    if (!blocks_[highBits].compare_exchange_strong(published, candidate, std::memory_order_acq_rel,
                                                   std::memory_order_acquire)) {
        return *published;
    }
    if (shared == nullptr) {
        made.release();
    }
    return *candidate;
}

CodePointFolds const& unicodeFolds(FoldMode mode) {
    static UnicodeFolds const byMode[] = {UnicodeFolds(FoldMode::kCase),
                                          UnicodeFolds(FoldMode::kMarks),
                                          UnicodeFolds(FoldMode::kCaseAndMarks)};
    return byMode[static_cast<unsigned>(mode) - 1];
}

std::uint8_t codePointTraits(char32_t codePoint) {
    switch (utf8proc_category(static_cast<utf8proc_int32_t>(codePoint))) {
        case UTF8PROC_CATEGORY_LU:
        case UTF8PROC_CATEGORY_LL:
        case UTF8PROC_CATEGORY_LT:
        case UTF8PROC_CATEGORY_LM:
        case UTF8PROC_CATEGORY_LO:
        case UTF8PROC_CATEGORY_ND:
        case UTF8PROC_CATEGORY_NL:
        case UTF8PROC_CATEGORY_NO:
            return kLetterOrDigit;
        case UTF8PROC_CATEGORY_ZS:
        case UTF8PROC_CATEGORY_ZL:
        case UTF8PROC_CATEGORY_ZP:
            return kWhiteSpace;
        default:
            // The ASCII separators and NEL are control characters to Unicode.
            return codePoint == ' ' || (codePoint >= '\t' && codePoint <= '\r') || codePoint == 0x85
                       ? kWhiteSpace
                       : 0;
    }
}

}  // namespace vesnik::capi
