// The address book the commands read: a file the user named, or the default
// book that the library looks for beside itself.
#ifndef VESNIK_TOOLS_ADDRESSBOOKFILE_H
#define VESNIK_TOOLS_ADDRESSBOOKFILE_H

#include <optional>
#include <string>
#include <utility>

namespace vesnik::tool {

class AddressBookFile {
  public:
    // No path chooses the default book.
    explicit AddressBookFile(std::optional<std::string> path) : path_(std::move(path)) {}

    // The path to hand the library: null selects its default book.
    char const* pathForLibrary() const { return path_ ? path_->c_str() : nullptr; }

    // The path to show the user: for the default book, where the library
    // looks for it.
    std::string displayPath() const;

    // Why the file cannot be opened for reading, as the system words it;
    // nothing when it can be.
    std::optional<std::string> openFailure() const;

  private:
    std::optional<std::string> path_;
};

}  // namespace vesnik::tool

#endif
