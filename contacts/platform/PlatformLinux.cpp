// Linux: POSIX file reads, and the library's own file found by an address
// inside it.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
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
    // Every lookup reads the file once from its start: the kernel reads
    // further ahead for a cold page cache. A file of a few reads gains
    // nothing, and the call costs a small lookup a tenth of its time. Only a
    // hint; a failure is no error.
    constexpr off_t kHintedFrom = off_t{1} << 20;
    if (info.st_size >= kHintedFrom) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
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
// symbolic links resolved, it names the file. Into a buffer of PATH_MAX
// bytes, or a new one (to free) when into is null. Null when that fails,
// with errno telling why.
char* resolveModuleFile(char* into) {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&markerInsideThisModule), &info) == 0 ||
        info.dli_fname == nullptr) {
        errno = ENOENT;
        return nullptr;
    }
    return ::realpath(info.dli_fname, into);
}

// Found while the module loads, before the host can change its working
// directory. Nothing here throws: an exception leaving a load ends the host.
// Nor does it allocate, unless the name is over a kilobyte long (glibc's
// realpath works on the stack up to that).
char fileFoundWhileLoading[PATH_MAX];
int whyNotFoundWhileLoading = 0;

__attribute__((constructor)) void findModuleFileWhileLoading() {
    whyNotFoundWhileLoading = resolveModuleFile(fileFoundWhileLoading) != nullptr ? 0 : errno;
}

// Null when the file cannot be found.
char const* moduleFile() {
    // Memory ran out while loading, or the name outgrew the buffer: found on
    // first use instead, once, against the working directory of that moment
    // (the best left for a relative name). An attempt that runs out of
    // memory again is reported as that, and made again by the next caller.
    if (whyNotFoundWhileLoading == ENOMEM || whyNotFoundWhileLoading == ENAMETOOLONG) {
        static std::unique_ptr<char, decltype(&std::free)> const foundLater = [] {
            char* const found = resolveModuleFile(nullptr);
            if (found == nullptr && errno == ENOMEM) {
                throw std::bad_alloc();
            }
            return std::unique_ptr<char, decltype(&std::free)>(found, &std::free);
        }();
        return foundLater.get();
    }
    return whyNotFoundWhileLoading == 0 ? fileFoundWhileLoading : nullptr;
}

}  // namespace

std::string moduleDirectory(char const*) {
    // There is no lookup of a loaded module by file name here: a library is
    // the module that holds its own code.
    char const* const file = moduleFile();
    if (file == nullptr) {
        return {};
    }
    return std::string(file, std::strrchr(file, '/') + 1);
}

}  // namespace vesnik::platform
