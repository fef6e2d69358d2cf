// An address-book file as a byte source: opened by path, read as bytes and
// closed when this goes away.
#ifndef VESNIK_CONTACTS_FILESOURCE_H
#define VESNIK_CONTACTS_FILESOURCE_H

#include <cstdint>

#include "ByteSource.h"
#include "platform/Platform.h"

namespace vesnik {

class FileSource final : public ByteSource {
  public:
    explicit FileSource(char const* path) : opened_(platform::openForReading(path)) {}
    ~FileSource() override {
        if (isOpen()) {
            platform::closeFile(opened_.file);
        }
    }
    FileSource(FileSource const&) = delete;
    FileSource& operator=(FileSource const&) = delete;

    // False when the file is missing, unreadable or a directory; then
    // openError() tells why.
    bool isOpen() const { return opened_.file != platform::kNoFile; }
    SystemError openError() const { return opened_.error; }

    // The file's size in bytes, or 0 when it cannot be told.
    std::uint64_t size() const { return isOpen() ? platform::fileSize(opened_.file) : 0; }

    ReadResult read(char* into, std::size_t size) override {
        return platform::readSome(opened_.file, into, size);
    }

  private:
    platform::OpenedFile opened_;
};

}  // namespace vesnik

#endif
