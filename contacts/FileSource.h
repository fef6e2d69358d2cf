// An address-book file as a byte source: opened by path, read as bytes and
// closed when this goes away.
#ifndef VESNIK_CONTACTS_FILESOURCE_H
#define VESNIK_CONTACTS_FILESOURCE_H

#include "ByteSource.h"
#include "platform/Platform.h"

namespace vesnik {

class FileSource final : public ByteSource {
  public:
    explicit FileSource(char const* path) : file_(platform::openForReading(path)) {}
    ~FileSource() override {
        if (isOpen()) {
            platform::closeFile(file_);
        }
    }
    FileSource(FileSource const&) = delete;
    FileSource& operator=(FileSource const&) = delete;

    // False when the file is missing, unreadable or a directory.
    bool isOpen() const { return file_ != platform::kNoFile; }

    ReadResult read(char* into, std::size_t size) override {
        return platform::readSome(file_, into, size);
    }

  private:
    platform::FileHandle file_;
};

}  // namespace vesnik

#endif
