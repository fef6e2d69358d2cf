#include "LibraryLocation.h"

#include "platform/Platform.h"

namespace vesnik {

std::string libraryDirectory(char const* moduleName) {
    return platform::moduleDirectory(moduleName);
}

std::string defaultBookPath(char const* moduleName) {
    std::string path = libraryDirectory(moduleName);
    if (!path.empty()) {
        path += kDefaultBookName;
    }
    return path;
}

std::string bookPath(char const* path, char const* moduleName) {
    return path != nullptr ? std::string(path) : defaultBookPath(moduleName);
}

}  // namespace vesnik
