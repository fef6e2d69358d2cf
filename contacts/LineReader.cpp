#include "LineReader.h"

#include <cstring>

namespace vesnik {

std::string_view lineText(char const* begin, char const* end, bool endedByLineFeed) {
    auto const length = static_cast<std::size_t>(end - begin);
    if (auto const* nul = static_cast<char const*>(std::memchr(begin, '\0', length))) {
        return {begin, static_cast<std::size_t>(nul - begin)};
    }
    if (endedByLineFeed && length > 0 && end[-1] == '\r') {
        return {begin, length - 1};
    }
    return {begin, length};
}

LineReader::LineReader(InputFile const& file, std::size_t blockSize)
    : file_(file.handle()), buffer_(new char[blockSize]), capacity_(blockSize) {}

bool LineReader::next(std::string_view& text) {
    std::size_t lineEnd = 0;
    bool const endedByLineFeed = findLineEnd(lineEnd);
    if (!endedByLineFeed && begin_ == end_) {
        return false;
    }
    char const* const data = buffer_.get();
    text = lineText(data + begin_, data + lineEnd, endedByLineFeed);
    begin_ = endedByLineFeed ? lineEnd + 1 : lineEnd;
    scanned_ = begin_;
    return true;
}

// Reads until the current line's LF is in the buffer (true, with lineEnd at
// the LF) or the file has ended (false, with lineEnd at the end of the data).
bool LineReader::findLineEnd(std::size_t& lineEnd) {
    for (;;) {
        char* const data = buffer_.get();
        if (auto const* lf =
                static_cast<char*>(std::memchr(data + scanned_, '\n', end_ - scanned_))) {
            lineEnd = static_cast<std::size_t>(lf - data);
            return true;
        }
        scanned_ = end_;
        if (atEnd_) {
            lineEnd = end_;
            return false;
        }
        makeRoomForMore();
        readMore();
    }
}

void LineReader::makeRoomForMore() {
    char* const data = buffer_.get();
    if (begin_ > 0) {
        std::memmove(data, data + begin_, end_ - begin_);
        end_ -= begin_;
        scanned_ -= begin_;
        begin_ = 0;
    }
    if (end_ < capacity_) {
        return;
    }
    // The line fills the whole buffer. Past a NUL nothing of it is read, so
    // those bytes need no room: a file of zeros never grows the buffer.
    if (auto const* nul = static_cast<char*>(std::memchr(data, '\0', end_))) {
        end_ = static_cast<std::size_t>(nul - data) + 1;
        scanned_ = end_;
        if (end_ < capacity_) {
            return;
        }
    }
    std::size_t const grown = capacity_ * 2;
    std::unique_ptr<char[]> larger(new char[grown]);
    std::memcpy(larger.get(), data, end_);
    buffer_ = std::move(larger);
    capacity_ = grown;
}

void LineReader::readMore() {
    auto const count = platform::readSome(file_, buffer_.get() + end_, capacity_ - end_);
    if (count <= 0) {
        atEnd_ = true;
        return;
    }
    end_ += static_cast<std::size_t>(count);
}

}  // namespace vesnik
