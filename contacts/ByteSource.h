// Where the line reader gets its bytes from: an open file, or memory.
#ifndef VESNIK_CONTACTS_BYTESOURCE_H
#define VESNIK_CONTACTS_BYTESOURCE_H

#include <cstddef>
#include <cstdint>

namespace vesnik {

// The reason the system gave for a failure, as the platform numbers it
// (errno, or GetLastError() on Windows); 0 for none. Carried as a value, so
// that nothing on the way back to the caller can change it.
using SystemError = std::uint32_t;

enum class ReadStatus {
    kData,         // count bytes were read
    kEnd,          // nothing more to read
    kInterrupted,  // nothing read this time; asking again may give more
    kFailed,       // the source broke off part-way, for the reason error gives
};

struct ReadResult {
    ReadStatus status;
    std::size_t count;
    SystemError error = 0;
};

class ByteSource {
  public:
    virtual ~ByteSource() = default;

    // Reads up to size bytes into into; a short read does not mean the end.
    virtual ReadResult read(char* into, std::size_t size) = 0;
};

}  // namespace vesnik

#endif
