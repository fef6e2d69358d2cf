// The line buffer: reads an address-book file in large blocks into one
// reusable buffer and hands out its lines one at a time.
#ifndef VESNIK_CONTACTS_LINEREADER_H
#define VESNIK_CONTACTS_LINEREADER_H

#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/Platform.h"

namespace vesnik {

// An address-book file open for reading; closed when this goes away.
class InputFile {
  public:
    explicit InputFile(char const* path) : handle_(platform::openForReading(path)) {}
    ~InputFile() {
        if (isOpen()) {
            platform::closeFile(handle_);
        }
    }
    InputFile(InputFile const&) = delete;
    InputFile& operator=(InputFile const&) = delete;

    bool isOpen() const { return handle_ != platform::kNoFile; }
    platform::FileHandle handle() const { return handle_; }

  private:
    platform::FileHandle handle_;
};

// A line is everything up to and including its LF, or up to the end of the
// file, read whole however long. Its text is what comes before the LF, with a
// CR right before the LF dropped (a lone CR elsewhere is data), and ends at
// the first NUL byte. A line whose text is empty is blank.
//
// The reader hands out the file as runs of whole lines straight from its
// buffer, so that a scan can search many lines at once.
class LineReader {
  public:
    static constexpr std::size_t kBlockSize = 128 * 1024;
    // The first read is smaller, and each next one twice as large up to the
    // block size, the buffer growing with them: a lookup that ends in the
    // first lines of a file, or a small file, reads and holds little more
    // than it needs.
    static constexpr std::size_t kFirstReadSize = 8 * 1024;

    explicit LineReader(InputFile const& file, std::size_t blockSize = kBlockSize);

    // The next run of whole lines, valid until the following call. Every line
    // in it ends with its LF, except the file's last line when the file does
    // not end with one. False once the file has no more characters or a read
    // fails.
    bool nextLines(std::string_view& lines);

    // The buffer's size now: at most the block size, or more after a longer
    // line.
    std::size_t bufferSize() const { return capacity_; }

  private:
    bool findLastLineEnd(std::size_t& linesEnd);
    void makeRoomForMore();
    void readMore();

    platform::FileHandle file_;
    std::size_t blockSize_;
    std::size_t readSize_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t begin_ = 0;    // first byte not yet handed out
    std::size_t scanned_ = 0;  // bytes before this, from begin_ on, hold no LF
    std::size_t end_ = 0;      // end of the bytes read so far
    bool atEnd_ = false;
};

// The text of one line given its bytes without the LF and whether an LF
// ended it. When the caller knows the bytes hold no NUL it may say so, and
// they are not searched for one.
std::string_view lineText(std::string_view line, bool endedByLineFeed, bool mayHoldNul = true);

}  // namespace vesnik

#endif
