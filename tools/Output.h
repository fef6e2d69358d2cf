// Standard output, gathered here and written in large pieces. A write that
// fails is not lost in a stream's state: it ends the command with the
// system's reason, as grep's does.
#ifndef VESNIK_TOOLS_OUTPUT_H
#define VESNIK_TOOLS_OUTPUT_H

#include <cstddef>
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
    Output();

    void put(std::string_view bytes) {
        buffer_.append(bytes);
        if (buffer_.size() >= kChunk) {
            flush();
        }
    }
    void put(char byte) { put(std::string_view(&byte, 1)); }

    // Writes what is gathered; throws WriteError when the system refuses.
    void flush();

  private:
    static constexpr std::size_t kChunk = 64 * 1024;

    std::string buffer_;
};

}  // namespace vesnik::tool

#endif
