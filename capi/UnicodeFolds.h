// The folds a search asks for, from utf8proc: letter case (Unicode full case
// folding and the apostrophes of FoldTable.h), marks (compatibility
// decomposition with the marks removed, and the letters of FoldTable.h), or
// both; in every mode ASCII letters come out lower case. A code point is
// folded alone: what utf8proc_decompose_char gives for it, with no
// reordering of marks across code points.
//
// Blocks are made on first use and kept: several threads may ask at once,
// and a block once there costs one atomic load to reach.
#ifndef VESNIK_CAPI_UNICODEFOLDS_H
#define VESNIK_CAPI_UNICODEFOLDS_H

#include <array>
#include <atomic>
#include <cstdint>

#include "CodePointFolds.h"

namespace vesnik::capi {

// The bits are those of the C interface's fold flags.
enum class FoldMode : unsigned { kCase = 1, kMarks = 2, kCaseAndMarks = 3 };

class UnicodeFolds final : public CodePointFolds {
  public:
    explicit UnicodeFolds(FoldMode mode) : mode_(mode) {}
    ~UnicodeFolds() override;
    UnicodeFolds(UnicodeFolds const&) = delete;
    UnicodeFolds& operator=(UnicodeFolds const&) = delete;

    FoldBlock const& block(std::uint32_t highBits) const override {
        FoldBlock const* const made = blocks_[highBits].load(std::memory_order_acquire);
        return made != nullptr ? *made : firstMade(highBits);
    }

  private:
    // Makes the block and publishes it, unless another thread did first:
    // then that one's is kept and this one's dropped.
    FoldBlock const& firstMade(std::uint32_t highBits) const;

    FoldMode const mode_;
    mutable std::array<std::atomic<FoldBlock const*>, kFoldBlockCount> blocks_{};
};

// The process's folds for mode, whose blocks stay until it ends or the
// library is unloaded.
CodePointFolds const& unicodeFolds(FoldMode mode);

// A code point's kLetterOrDigit and kWhiteSpace traits, in any mode.
std::uint8_t codePointTraits(char32_t codePoint);

}  // namespace vesnik::capi

#endif
