// The directory of the running test program, where the build puts
// Vesnik_API.dll and the runtime DLLs it ships with.
#ifndef VESNIK_TESTS_WINDOWS_HOSTDIRECTORY_H
#define VESNIK_TESTS_WINDOWS_HOSTDIRECTORY_H

#include <windows.h>

#include <string>

namespace vesnik::test {

// Ends in a backslash, as the library's own answers do.
inline std::string hostDirectory() {
    char file[MAX_PATH] = {};
    std::string path(file, ::GetModuleFileNameA(nullptr, file, MAX_PATH));
    return path.erase(path.rfind('\\') + 1);
}

}  // namespace vesnik::test

#endif
