#include "SourceBytes.h"

#include <algorithm>
#include <cstring>

namespace vesnik::tool::import {

namespace {

constexpr std::size_t kPiece = 64 * 1024;
// Enough of the start to tell a card or a header row from anything else.
constexpr std::size_t kPeek = 4096;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::size_t MemoryInput::read(char* into, std::size_t size) {
    std::size_t const count = std::min(size, rest_.size());
    std::memcpy(into, rest_.data(), count);
    rest_.remove_prefix(count);
    return count;
}

FileInput::FileInput(std::string const& path, std::string const& name) try
    : name_(name),
      file_(path == "-" ? platform::InputFile::standardInput() : platform::InputFile::open(path)) {
} catch (platform::SystemError const& error) {
    throw ImportError("cannot read " + name + ": " + error.what());
}

std::size_t FileInput::read(char* into, std::size_t size) {
    try {
        return file_.read(into, size);
    } catch (platform::SystemError const& error) {
        throw ImportError("cannot read " + name_ + ": " + error.what());
    }
}

SourceBytes::SourceBytes(RawInput& input) : input_(input), buffer_(new char[kPiece]) {
    // A pipe may give a few bytes at a time.
    std::size_t size = 0;
    while (size < kPeek) {
        std::size_t const count = input_.read(buffer_.get() + size, kPiece - size);
        if (count == 0) {
            ended_ = true;
            break;
        }
        size += count;
    }
    std::string_view text(buffer_.get(), size);
    if (startsWith(text, "\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    } else if (startsWith(text, "\xFF\xFE") || startsWith(text, "\xFE\xFF")) {
        utf16_ = platform::Converter::open(text[0] == '\xFF' ? "UTF-16LE" : "UTF-16BE");
        if (utf16_ == nullptr) {
            throw ImportError("this system cannot convert UTF-16");
        }
        replaced_ += utf16_->convert(text.substr(2), converted_, ended_);
        text = converted_;
    }
    first_ = text;
}

std::string_view SourceBytes::next() {
    if (!firstTaken_) {
        firstTaken_ = true;
        if (!first_.empty()) {
            return first_;
        }
    }
    while (!ended_) {
        std::size_t const count = input_.read(buffer_.get(), kPiece);
        ended_ = count == 0;
        if (utf16_ == nullptr) {
            if (count != 0) {
                return std::string_view(buffer_.get(), count);
            }
            continue;
        }
        converted_.clear();
        replaced_ += utf16_->convert(std::string_view(buffer_.get(), count), converted_, ended_);
        if (!converted_.empty()) {
            return converted_;
        }
    }
    return {};
}

}  // namespace vesnik::tool::import
