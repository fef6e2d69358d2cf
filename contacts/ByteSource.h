// Where the line reader gets its bytes from: an open file, or memory.
#ifndef VESNIK_CONTACTS_BYTESOURCE_H
#define VESNIK_CONTACTS_BYTESOURCE_H

#include <cstddef>

namespace vesnik {

enum class ReadStatus {
    kData,         // count bytes were read
    kEnd,          // nothing more to read
    kInterrupted,  // nothing read this time; asking again may give more
    kFailed,       // the source broke off part-way
};

struct ReadResult {
    ReadStatus status;
    std::size_t count;
};

class ByteSource {
  public:
    virtual ~ByteSource() = default;

    // Reads up to size bytes into into; a short read does not mean the end.
    virtual ReadResult read(char* into, std::size_t size) = 0;
};

}  // namespace vesnik

#endif
