// Bytes in memory as a byte source that reads as a troublesome file might:
// a few bytes at a time, interrupted every other time, or breaking off.
#ifndef VESNIK_TESTS_SUPPORT_MEMORYSOURCE_H
#define VESNIK_TESTS_SUPPORT_MEMORYSOURCE_H

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "ByteSource.h"

namespace vesnik::test {

struct ReadPattern {
    std::size_t mostPerRead = SIZE_MAX;
    bool interruptEveryOtherRead = false;
    std::size_t failAfter = SIZE_MAX;  // bytes read before the source breaks off
};

class MemorySource final : public ByteSource {
  public:
    MemorySource(std::string_view bytes, ReadPattern pattern) : bytes_(bytes), pattern_(pattern) {}

    ReadResult read(char* into, std::size_t size) override {
        if (pattern_.interruptEveryOtherRead && (interrupted_ = !interrupted_)) {
            return {ReadStatus::kInterrupted, 0};
        }
        if (position_ == bytes_.size()) {
            return {ReadStatus::kEnd, 0};
        }
        if (position_ >= pattern_.failAfter) {
            return {ReadStatus::kFailed, 0};
        }
        std::size_t const count = std::min({size, pattern_.mostPerRead, bytes_.size() - position_,
                                            pattern_.failAfter - position_});
        std::memcpy(into, bytes_.data() + position_, count);
        position_ += count;
        return {ReadStatus::kData, count};
    }

  private:
    std::string_view bytes_;
    ReadPattern pattern_;
    std::size_t position_ = 0;
    bool interrupted_ = false;
};

}  // namespace vesnik::test

#endif
