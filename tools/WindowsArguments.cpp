#include "WindowsArguments.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cwchar>

namespace vesnik::tool {

namespace {

// A character the code page lacks becomes its best fit or '?', as in the
// arguments the C runtime gives main.
std::string encoded(wchar_t const* argument, UINT codePage) {
    int const wideLength = static_cast<int>(std::wcslen(argument));
    int const length =
        WideCharToMultiByte(codePage, 0, argument, wideLength, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(codePage, 0, argument, wideLength, bytes.data(), length, nullptr,
                            nullptr);
    }
    return bytes;
}

std::vector<char const*> pointersTo(std::vector<std::string> const& arguments) {
    std::vector<char const*> pointers;
    for (std::string const& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

WindowsArguments::WindowsArguments(int argc, wchar_t const* const* argv) {
    for (int i = 0; i < argc; ++i) {
        ansi_.push_back(encoded(argv[i], CP_ACP));
        utf8_.push_back(encoded(argv[i], CP_UTF8));
    }
    ansiPointers_ = pointersTo(ansi_);
    utf8Pointers_ = pointersTo(utf8_);
}

}  // namespace vesnik::tool
