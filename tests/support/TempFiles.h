// Temporary address-book files for tests, removed when the test ends.
#ifndef VESNIK_TESTS_SUPPORT_TEMPFILES_H
#define VESNIK_TESTS_SUPPORT_TEMPFILES_H

#include <filesystem>
#include <string>
#include <string_view>

namespace vesnik::test {

// A fresh directory of its own, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(TempDir const&) = delete;
    TempDir& operator=(TempDir const&) = delete;

    std::filesystem::path const& path() const { return path_; }

    // Writes bytes, exactly as given, to a file in this directory; gives its
    // path.
    std::string write(std::string const& name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

}  // namespace vesnik::test

#endif
