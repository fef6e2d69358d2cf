// Linux: POSIX file reads, and the library's own file found in the process's
// memory map.
#include "platform/Platform.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace vesnik::platform {

FileHandle openForReading(char const* path) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return kNoFile;
    }
    // A directory opens for reading here, but not on the original platform:
    // it counts as a file that cannot be opened.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return kNoFile;
    }
    return fd;
}

std::ptrdiff_t readSome(FileHandle file, char* into, std::size_t size) {
    ssize_t count;
    do {
        count = ::read(static_cast<int>(file), into, size);
    } while (count < 0 && errno == EINTR);
    return count;
}

void closeFile(FileHandle file) {
    ::close(static_cast<int>(file));
}

namespace {

// Any address inside this library's own code.
void markerInsideLibrary() {}

std::string directoryOf(std::string const& file) {
    auto const slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

// The kernel's memory map names each mapped file by its absolute path, as it
// was when mapped: this stays right after the host changes its working
// directory, and whatever name the host loaded the library by.
std::string mappedFileContaining(std::uintptr_t address) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        char* rest = nullptr;
        auto const low = std::strtoull(line.c_str(), &rest, 16);
        if (rest == nullptr || *rest != '-') {
            continue;
        }
        auto const high = std::strtoull(rest + 1, &rest, 16);
        if (address < low || address >= high) {
            continue;
        }
        auto const path = line.find('/');
        if (path == std::string::npos) {
            return {};
        }
        std::string file = line.substr(path);
        static constexpr char kDeleted[] = " (deleted)";
        auto const deletedLength = sizeof kDeleted - 1;
        if (file.size() > deletedLength &&
            file.compare(file.size() - deletedLength, deletedLength, kDeleted) == 0) {
            file.resize(file.size() - deletedLength);
        }
        return file;
    }
    return {};
}

// Without /proc: the name the library was loaded by, made absolute.
std::string loadedFileName(void const* address) {
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    char* resolved = ::realpath(info.dli_fname, nullptr);
    if (resolved == nullptr) {
        return info.dli_fname[0] == '/' ? std::string(info.dli_fname) : std::string();
    }
    std::string file(resolved);
    std::free(resolved);
    return file;
}

}  // namespace

std::string libraryDirectory() {
    auto const marker = reinterpret_cast<void const*>(&markerInsideLibrary);
    std::string file = mappedFileContaining(reinterpret_cast<std::uintptr_t>(marker));
    if (file.empty()) {
        file = loadedFileName(marker);
    }
    return directoryOf(file);
}

}  // namespace vesnik::platform
