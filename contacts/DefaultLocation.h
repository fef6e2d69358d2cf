// Where the library looks for its address book when the host names none.
#ifndef VESNIK_CONTACTS_DEFAULTLOCATION_H
#define VESNIK_CONTACTS_DEFAULTLOCATION_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vesnik {

inline constexpr char kDefaultFileName[] = "AddressBook.CDIR";

// Hosts written for the original platform expect a buffer of this size.
inline constexpr std::size_t kLocationBufferSize = 260;

// A zero-filled calloc buffer holding text at its start: kLocationBufferSize
// bytes, or more when text needs them. Throws std::bad_alloc when memory
// runs out.
char* newLocationBuffer(std::string_view text);

// The library's directory followed by the default file name; empty (a path
// that opens nothing) when the directory cannot be found.
std::string defaultAddressBookPath();

}  // namespace vesnik

#endif
