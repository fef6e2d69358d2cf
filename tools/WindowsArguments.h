// The command line on Windows, read wide: the search words that the ANSI
// code page cannot hold reach the program whole as UTF-8, while paths stay in
// the ANSI code page, which the library opens them in.
#ifndef VESNIK_TOOLS_WINDOWSARGUMENTS_H
#define VESNIK_TOOLS_WINDOWSARGUMENTS_H

#include <string>
#include <vector>

namespace vesnik::tool {

class WindowsArguments {
  public:
    // wmain's arguments. Throws std::bad_alloc when memory runs out.
    WindowsArguments(int argc, wchar_t const* const* argv);

    // argv as main would have it: each argument in the ANSI code page.
    char const* const* ansi() const { return ansiPointers_.data(); }
    // The same arguments in UTF-8.
    char const* const* utf8() const { return utf8Pointers_.data(); }

  private:
    std::vector<std::string> ansi_;
    std::vector<std::string> utf8_;
    std::vector<char const*> ansiPointers_;
    std::vector<char const*> utf8Pointers_;
};

}  // namespace vesnik::tool

#endif
