// The command's output, gathered here and written in large pieces: standard
// output, or a book being written. A write that fails is not lost in a
// stream's state: it ends the command with the system's reason, as grep's
// does.
#ifndef VESNIK_TOOLS_OUTPUT_H
#define VESNIK_TOOLS_OUTPUT_H

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/Platform.h"

namespace vesnik::tool {

// A write failed. A reader that went away (a closed pipe) is not worth a
// message: the command just ends.
using WriteError = platform::SystemError;

class Output {
  public:
    // Takes every byte it is given, or throws.
    using Destination = std::function<void(std::string_view)>;

    explicit Output(Destination destination = platform::writeStandardOutput)
        : destination_(std::move(destination)), buffer_(new char[kChunk]) {}

    void put(std::string_view bytes) {
        if (bytes.size() > kChunk - used_) {
            flush();
            if (bytes.size() > kChunk) {
                destination_(bytes);
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    void put(char byte) {
        if (used_ == kChunk) {
            flush();
        }
        buffer_[used_++] = byte;
    }

    // Writes what is gathered; throws WriteError when the system refuses.
    void flush() {
        std::size_t const used = used_;
        used_ = 0;
        if (used != 0) {
            destination_(std::string_view(buffer_.get(), used));
        }
    }

  private:
    static constexpr std::size_t kChunk = 64 * 1024;

    Destination destination_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace vesnik::tool

#endif
