#include "LineReader.h"

#include <algorithm>
#include <cstring>

namespace vesnik {

std::string_view lineText(std::string_view line, bool endedByLineFeed, bool mayHoldNul) {
    if (mayHoldNul) {
        if (auto const* nul =
                static_cast<char const*>(std::memchr(line.data(), '\0', line.size()))) {
            return line.substr(0, static_cast<std::size_t>(nul - line.data()));
        }
    }
    if (endedByLineFeed && !line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

LineReader::LineReader(InputFile const& file, std::size_t blockSize)
    : file_(file.handle()), buffer_(new char[blockSize]), capacity_(blockSize) {}

bool LineReader::nextLines(std::string_view& lines) {
    std::size_t linesEnd = 0;
    if (!findLastLineEnd(linesEnd) && begin_ == end_) {
        return false;
    }
    lines = std::string_view(buffer_.get() + begin_, linesEnd - begin_);
    begin_ = linesEnd;
    scanned_ = linesEnd;
    return true;
}

// Reads until at least one whole line is in the buffer (true, with linesEnd
// just past the last LF read) or the file has ended (false, with linesEnd at
// the end of the data).
bool LineReader::findLastLineEnd(std::size_t& linesEnd) {
    for (;;) {
        char const* const data = buffer_.get();
        // Lines are short next to a block, so the last LF is near the end.
        std::string_view const unscanned(data + scanned_, end_ - scanned_);
        std::size_t const lastLineFeed = unscanned.rfind('\n');
        if (lastLineFeed != std::string_view::npos) {
            linesEnd = scanned_ + lastLineFeed + 1;
            return true;
        }
        scanned_ = end_;
        if (atEnd_) {
            linesEnd = end_;
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
    std::size_t const room = capacity_ - end_;
    auto const count = platform::readSome(file_, buffer_.get() + end_, std::min(room, readSize_));
    if (readSize_ < kBlockSize) {
        readSize_ *= 2;
    }
    if (count <= 0) {
        atEnd_ = true;
        return;
    }
    end_ += static_cast<std::size_t>(count);
}

}  // namespace vesnik
