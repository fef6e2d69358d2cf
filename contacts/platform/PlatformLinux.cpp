// Linux: POSIX file reads, and the library's own file found by an address
// inside it.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"

namespace vesnik::platform {

std::uint64_t fileSize(FileHandle file) {
    struct stat info {};
    bool const known = ::fstat(static_cast<int>(file), &info) == 0 && S_ISREG(info.st_mode);
    return known ? static_cast<std::uint64_t>(info.st_size) : 0;
}

OpenedFile openForReading(char const* path) {
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return {kNoFile, static_cast<SystemError>(errno)};
    }
    // A directory opens for reading here, but not on the original platform:
    // it counts as a file that cannot be opened.
    struct stat info {};
    int const problem = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (problem != 0) {
        ::close(fd);
        return {kNoFile, static_cast<SystemError>(problem)};
    }
    return {fd, 0};
}

ReadResult readSome(FileHandle file, char* into, std::size_t size) {
    ssize_t const count = ::read(static_cast<int>(file), into, size);
    if (count > 0) {
        return {ReadStatus::kData, static_cast<std::size_t>(count)};
    }
    if (count == 0) {
        return {ReadStatus::kEnd, 0};
    }
    if (errno == EINTR) {
        return {ReadStatus::kInterrupted, 0};
    }
    return {ReadStatus::kFailed, 0, static_cast<SystemError>(errno)};
}

void closeFile(FileHandle file) {
    ::close(static_cast<int>(file));
}

void setSystemError(SystemError error) {
    errno = static_cast<int>(error);
}

namespace {

// Any address inside the module that holds this code.
void markerInsideThisModule() {}

// The loader knows each module by the name it was loaded by, which may be
// relative to the working directory of that moment: made absolute, with its
// symbolic links resolved, it names the file.
std::string findModuleDirectory() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&markerInsideThisModule), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    char* const resolved = ::realpath(info.dli_fname, nullptr);
    if (resolved == nullptr) {
        return {};
    }
    std::string directory(resolved);
    std::free(resolved);
    directory.resize(directory.rfind('/') + 1);
    return directory;
}

std::string const& loadedModuleDirectory() {
    // Found once; released when the module is unloaded.
    static std::string const directory = findModuleDirectory();
    return directory;
}

// Asked while the module loads, before the host can change its working
// directory.
__attribute__((constructor)) void findModuleDirectoryWhileLoading() {
    loadedModuleDirectory();
}

}  // namespace

std::string moduleDirectory(char const*) {
    // There is no lookup of a loaded module by file name here: a library is
    // the module that holds its own code.
    return loadedModuleDirectory();
}

}  // namespace vesnik::platform
