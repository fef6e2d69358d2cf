// What the engine needs from the operating system, kept behind one small
// interface with one implementation file per platform.
#ifndef VESNIK_CONTACTS_PLATFORM_PLATFORM_H
#define VESNIK_CONTACTS_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "ByteSource.h"

namespace vesnik::platform {

// An open file, as the platform names it (a descriptor or a handle).
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// An opened file, or kNoFile and the system's reason.
struct OpenedFile {
    FileHandle file;
    SystemError error;
};

// Opens an existing regular file for reading bytes, without translating line
// ends. A directory counts as a file that cannot be opened. Failures here
// and in readSome come back as values; the platform's own error state is
// not a channel the engine reads.
OpenedFile openForReading(char const* path);

// Reads up to size bytes.
ReadResult readSome(FileHandle file, char* into, std::size_t size);

void closeFile(FileHandle file);

// The size in bytes of an open regular file; 0 when it cannot be told.
std::uint64_t fileSize(FileHandle file);

// Puts error where the platform keeps the reason for a failure (errno, or
// the thread's last error), for a caller that reads it there.
void setSystemError(SystemError error);

// The absolute directory of a loaded module's file, ending in the platform's
// path separator; empty when it cannot be found. The module is the one named
// moduleName where the platform looks modules up by file name, and otherwise,
// or when moduleName is null, the one that holds this code.
std::string moduleDirectory(char const* moduleName);

}  // namespace vesnik::platform

#endif
