// Standard output, gathered here and written in large pieces. A write that
// fails is not lost in a stream's state: it ends the command with the
// system's reason, as grep's does.
#ifndef VESNIK_TOOLS_OUTPUT_H
#define VESNIK_TOOLS_OUTPUT_H

#include <cstddef>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vesnik::tool {

// The system's words for the failure a C interface lookup just reported:
// errno, or on Windows the thread's last error. Call it before anything else
// can change either.
std::string lookupFailureReason();

// A write to standard output failed. A reader that went away (a closed pipe)
// is not worth a message: the command just ends.
class WriteError : public std::runtime_error {
  public:
    WriteError(std::string const& reason, bool readerGone)
        : std::runtime_error(reason), readerGone_(readerGone) {}
    bool readerGone() const { return readerGone_; }

  private:
    bool readerGone_;
};

// Standard output.
class Output {
  public:
    Output() : buffer_(new char[kChunk]) {}

    void put(std::string_view bytes) {
        if (bytes.size() > kChunk - used_) {
            flush();
            if (bytes.size() > kChunk) {
                writeAll(bytes);
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
        writeAll(std::string_view(buffer_.get(), used));
    }

  private:
    static constexpr std::size_t kChunk = 64 * 1024;

    void writeAll(std::string_view bytes);

    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace vesnik::tool

#endif
