// What the address-book code needs from the operating system, kept behind one
// small interface with one implementation file per platform.
#ifndef VESNIK_CONTACTS_PLATFORM_PLATFORM_H
#define VESNIK_CONTACTS_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace vesnik::platform {

// An open file, as the platform names it (a descriptor or a handle).
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Opens an existing regular file for reading bytes, without translating line
// ends. Gives kNoFile when it cannot be opened or names a directory.
FileHandle openForReading(char const* path);

// Reads up to size bytes. Gives the count read, 0 at the end of the file and
// a negative count when the read fails.
std::ptrdiff_t readSome(FileHandle file, char* into, std::size_t size);

void closeFile(FileHandle file);

// The absolute directory of the library's own loaded file, ending in the
// platform's path separator; empty when it cannot be found.
std::string libraryDirectory();

}  // namespace vesnik::platform

#endif
