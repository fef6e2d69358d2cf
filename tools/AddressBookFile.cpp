#include "AddressBookFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Vesnik_API.h"
#include "Vesnik_API_owners.h"

namespace vesnik::tool {

namespace {

// The name the library gives its default book, in its own directory.
constexpr char kDefaultBookName[] = "AddressBook.CDIR";

std::string errorMessage(std::errc code) {
    return std::make_error_code(code).message();
}

}  // namespace

std::string AddressBookFile::displayPath() const {
    if (path_) {
        return *path_;
    }
    owned::String const directory(GetDefaultAddressBookLocation());
    if (directory.get()[0] == '\0') {
        // The library found no directory of its own and so reads no file.
        return {};
    }
    return std::string(directory.get()) + kDefaultBookName;
}

std::optional<std::string> AddressBookFile::openFailure() const {
    std::string const path = displayPath();
    // The library refuses a directory, although POSIX opens one for reading.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return errorMessage(std::errc::is_a_directory);
    }
    errno = 0;
    std::FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        int const reason = errno;
        return reason != 0 ? std::generic_category().message(reason)
                           : errorMessage(std::errc::io_error);
    }
    std::fclose(file);
    return std::nullopt;
}

}  // namespace vesnik::tool
