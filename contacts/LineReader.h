// The line buffer: reads a byte source in large blocks into one reusable
// buffer and hands out runs of whole lines from it.
#ifndef VESNIK_CONTACTS_LINEREADER_H
#define VESNIK_CONTACTS_LINEREADER_H

#include <cstddef>
#include <memory>
#include <string_view>

#include "ByteSource.h"

namespace vesnik {

// A line is everything up to and including its LF, or up to the end of the
// source, read whole however long (its text is what lineText gives).
//
// The reader hands out the source as runs of whole lines straight from its
// buffer, so that a scan can search many lines at once.
class LineReader {
  public:
    static constexpr std::size_t kBlockSize = 128 * 1024;
    // The first read is smaller, and each next one twice as large up to the
    // block size, the buffer growing with them: a lookup that ends in the
    // first lines of a file, or a small file, reads and holds little more
    // than it needs.
    static constexpr std::size_t kFirstReadSize = 8 * 1024;

    explicit LineReader(ByteSource& source, std::size_t blockSize = kBlockSize);

    // The next run of whole lines, valid until the following call. Every line
    // in it ends with its LF, except the source's last line when no LF ends
    // it. False once the source has ended or a read has failed.
    bool nextLines(std::string_view& lines);

    // Whether a read failed: then the lines handed out are not the whole
    // source, and failure() is the system's reason.
    bool failed() const { return failed_; }
    SystemError failure() const { return failure_; }

    // The buffer's size now: at most the block size, or more after a longer
    // line.
    std::size_t bufferSize() const { return capacity_; }

  private:
    bool findLastLineEnd(std::size_t& linesEnd);
    void makeRoomForMore();
    void readMore();

    ByteSource& source_;
    std::size_t blockSize_;
    std::size_t readSize_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t begin_ = 0;    // first byte not yet handed out
    std::size_t scanned_ = 0;  // bytes before this, from begin_ on, hold no LF
    std::size_t end_ = 0;      // end of the bytes read so far
    bool atEnd_ = false;
    bool failed_ = false;
    SystemError failure_ = 0;
};

}  // namespace vesnik

#endif
