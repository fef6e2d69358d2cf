// A source's bytes, piece by piece, with a byte-order mark honoured: UTF-8's
// dropped, UTF-16's (either byte order) converted to UTF-8.
#ifndef VESNIK_TOOLS_IMPORT_SOURCEBYTES_H
#define VESNIK_TOOLS_IMPORT_SOURCEBYTES_H

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace vesnik::tool::import {

// A source could not be imported; what() names it and says why.
class ImportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Raw bytes to import.
class RawInput {
  public:
    virtual ~RawInput() = default;
    // Up to size bytes; 0 at the end. Throws ImportError.
    virtual std::size_t read(char* into, std::size_t size) = 0;
};

class MemoryInput : public RawInput {
  public:
    explicit MemoryInput(std::string_view bytes) : rest_(bytes) {}
    std::size_t read(char* into, std::size_t size) override;

  private:
    std::string_view rest_;
};

// A file, or standard input; a failure to read names the source.
class FileInput : public RawInput {
  public:
    // Throws ImportError when it cannot be opened.
    FileInput(std::string const& path, std::string const& name);
    std::size_t read(char* into, std::size_t size) override;

  private:
    std::string name_;
    platform::InputFile file_;
};

class SourceBytes {
  public:
    // Reads the first bytes at once, so that peek sees them. Throws
    // ImportError.
    explicit SourceBytes(RawInput& input);

    // The first bytes of the text, up to a few KiB: what kind of file it is.
    std::string_view peek() const { return first_; }

    // The next piece of text; empty at the end. Throws ImportError.
    std::string_view next();

    // UTF-16 sequences that were not valid, each now U+FFFD.
    std::size_t replaced() const { return replaced_; }

  private:
    void fill();

    RawInput& input_;
    std::unique_ptr<char[]> buffer_;
    std::unique_ptr<platform::Converter> utf16_;
    std::string converted_;
    std::string_view first_;
    bool firstTaken_ = false;
    bool ended_ = false;
    std::size_t replaced_ = 0;
};

}  // namespace vesnik::tool::import

#endif
