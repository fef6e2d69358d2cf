#include "DefaultLocation.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/Platform.h"

namespace vesnik {

char* newLocationBuffer(std::string_view text) {
    std::size_t const size = std::max(kLocationBufferSize, text.size() + 1);
    auto* buffer = static_cast<char*>(std::calloc(size, 1));
    if (buffer == nullptr) {
        throw std::bad_alloc();
    }
    if (!text.empty()) {
        std::memcpy(buffer, text.data(), text.size());
    }
    return buffer;
}

std::string defaultAddressBookPath() {
    std::string directory = platform::libraryDirectory();
    if (directory.empty()) {
        return directory;
    }
    return directory + kDefaultFileName;
}

}  // namespace vesnik
