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
    : file_(file.handle()),
      blockSize_(blockSize),
      readSize_(std::min(blockSize, kFirstReadSize)),
      buffer_(new char[readSize_]),
      capacity_(readSize_) {}

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
        std::string_view const unscanned(data + scanned_, end_ - scanned_);
        // A fast forward search tells whether there is an LF at all; only then
        // is the last one looked for from the end, where lines, short next to
        // a block, put it close. A long line or a run of zeros is passed over
        // at memchr's speed.
        if (std::memchr(unscanned.data(), '\n', unscanned.size()) != nullptr) {
            linesEnd = scanned_ + unscanned.rfind('\n') + 1;
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
    // A line that fills the whole buffer is read no further than its first
    // NUL, so the bytes past it need no room: a file of zeros never grows
    // the buffer past the block size.
    if (end_ == capacity_) {
        if (auto const* nul = static_cast<char*>(std::memchr(data, '\0', end_))) {
            end_ = static_cast<std::size_t>(nul - data) + 1;
            scanned_ = end_;
        }
    }
    // Room for the next read, up to the block size; beyond it only for a
    // line longer than the buffer.
    std::size_t wanted = std::max(capacity_, std::min(blockSize_, end_ + readSize_));
    if (end_ == capacity_) {
        wanted = capacity_ * 2;
    }
    if (wanted > capacity_) {
        std::unique_ptr<char[]> larger(new char[wanted]);
        std::memcpy(larger.get(), data, end_);
        buffer_ = std::move(larger);
        capacity_ = wanted;
    }
}

void LineReader::readMore() {
    std::size_t const room = capacity_ - end_;
    auto const count = platform::readSome(file_, buffer_.get() + end_, std::min(room, readSize_));
    readSize_ = std::min(readSize_ * 2, blockSize_);
    if (count <= 0) {
        atEnd_ = true;
        return;
    }
    end_ += static_cast<std::size_t>(count);
}

}  // namespace vesnik
