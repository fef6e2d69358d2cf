#include "LineReader.h"

#include <algorithm>
#include <cstring>

#include "LineFormat.h"

namespace vesnik {

LineReader::LineReader(ByteSource& source, std::size_t blockSize)
    : source_(source),
      blockSize_(blockSize),
      readSize_(std::min(blockSize, kFirstReadSize)),
      buffer_(new char[readSize_]),
      capacity_(readSize_) {}

bool LineReader::nextLines(std::string_view& lines) {
    std::size_t linesEnd = 0;
    if ((!findLastLineEnd(linesEnd) && begin_ == end_) || failed_) {
        return false;
    }
    lines = std::string_view(buffer_.get() + begin_, linesEnd - begin_);
    begin_ = linesEnd;
    scanned_ = linesEnd;
    return true;
}

// Reads until at least one whole line is in the buffer (true, with linesEnd
// just past the last LF read) or the source has ended (false, with linesEnd
// at the end of the data).
bool LineReader::findLastLineEnd(std::size_t& linesEnd) {
    for (;;) {
        char const* const data = buffer_.get();
        std::string_view const unscanned(data + scanned_, end_ - scanned_);
        // A fast forward search tells whether there is an LF at all; only then
        // is the last one looked for from the end, where lines, short next to
        // a block, put it close. A long line or a run of zeros is passed over
        // at memchr's speed.
        if (std::memchr(unscanned.data(), kLineFeed, unscanned.size()) != nullptr) {
            linesEnd = scanned_ + unscanned.rfind(kLineFeed) + 1;
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
        if (char const* nul = findNul(std::string_view(data, end_))) {
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
    ReadResult result{};
    do {
        result = source_.read(buffer_.get() + end_, std::min(room, readSize_));
    } while (result.status == ReadStatus::kInterrupted);
    readSize_ = std::min(readSize_ * 2, blockSize_);
    if (result.status == ReadStatus::kData && result.count > 0) {
        end_ += std::min(result.count, room);
        return;
    }
    // Nothing read, and not interrupted: the source has ended, or broken off.
    atEnd_ = true;
    failed_ = result.status == ReadStatus::kFailed;
    failure_ = result.error;
}

}  // namespace vesnik
