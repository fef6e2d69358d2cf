// Where a library built on the engine looks for its address book when its
// host names none: a file of a fixed name in the library's own directory.
#ifndef VESNIK_CONTACTS_LIBRARYLOCATION_H
#define VESNIK_CONTACTS_LIBRARYLOCATION_H

#include <string>

namespace vesnik {

inline constexpr char kDefaultBookName[] = "AddressBook.CDIR";

// The directory of the library the engine is built into, ending in the path
// separator; empty when it cannot be found. Where the platform looks loaded
// modules up by file name, moduleName picks the module; otherwise, or when
// moduleName is null, it is the module that holds this code.
std::string libraryDirectory(char const* moduleName);

// That directory followed by kDefaultBookName; empty, a path that opens
// nothing, when the directory cannot be found.
std::string defaultBookPath(char const* moduleName);

// The book a lookup reads: path, or the default book when path is null. An
// empty path is kept as it is: it names no file, it does not select the
// default.
std::string bookPath(char const* path, char const* moduleName);

}  // namespace vesnik

#endif
