// Bytes already in memory as a byte source, so that a query can run over a
// book that is no file.
#ifndef VESNIK_CONTACTS_MEMORYSOURCE_H
#define VESNIK_CONTACTS_MEMORYSOURCE_H

#include <algorithm>
#include <cstring>
#include <string_view>

#include "ByteSource.h"

namespace vesnik {

class MemorySource final : public ByteSource {
  public:
    // The bytes must outlive the source.
    explicit MemorySource(std::string_view bytes) : rest_(bytes) {}

    ReadResult read(char* into, std::size_t size) override {
        std::size_t const count = std::min(size, rest_.size());
        if (count == 0) {
            return {ReadStatus::kEnd, 0};
        }
        std::memcpy(into, rest_.data(), count);
        rest_.remove_prefix(count);
        return {ReadStatus::kData, count};
    }

  private:
    std::string_view rest_;
};

}  // namespace vesnik

#endif
