// Windows: Win32 file reads, and the library's own file found through the
// loader by the name hosts load it by.
#include "platform/Platform.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <climits>
#include <cstdint>
#include <string>

namespace vesnik::platform {

namespace {

HANDLE toHandle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

}  // namespace

std::uint64_t fileSize(FileHandle file) {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(toHandle(file), &size) && size.QuadPart > 0
               ? static_cast<std::uint64_t>(size.QuadPart)
               : 0;
}

OpenedFile openForReading(char const* path) {
    // Sharing read, write and delete lets other programs edit, replace or
    // rename the book while a lookup reads it. Without backup semantics a
    // directory does not open, so it counts as a file that cannot be opened.
    // Every lookup reads the file once from its start: the cache manager
    // reads further ahead for a sequential scan.
    HANDLE const file = ::CreateFileA(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {kNoFile, ::GetLastError()};
    }
    return {reinterpret_cast<FileHandle>(file), 0};
}

ReadResult readSome(FileHandle file, char* into, std::size_t size) {
    // One ReadFile takes a DWORD count; the caller asks again for the rest.
    DWORD const wanted = size > INT_MAX ? DWORD{INT_MAX} : static_cast<DWORD>(size);
    DWORD count = 0;
    if (!::ReadFile(toHandle(file), into, wanted, &count, nullptr)) {
        DWORD const error = ::GetLastError();
        // A pipe whose writer has gone reports its end as this error.
        if (error == ERROR_BROKEN_PIPE) {
            return {ReadStatus::kEnd, 0};
        }
        return {ReadStatus::kFailed, 0, error};
    }
    return {count > 0 ? ReadStatus::kData : ReadStatus::kEnd, count};
}

void closeFile(FileHandle file) {
    ::CloseHandle(toHandle(file));
}

void setSystemError(SystemError error) {
    ::SetLastError(error);
}

namespace {

// The full path of a loaded module (of the host executable when module is
// null), read whole however long; empty when the loader cannot tell.
std::string moduleFileName(HMODULE module) {
    std::string file(MAX_PATH, '\0');
    for (;;) {
        DWORD const length =
            ::GetModuleFileNameA(module, file.data(), static_cast<DWORD>(file.size()));
        if (length == 0) {
            return {};
        }
        // A path that fills the whole buffer may have been cut short.
        if (length < file.size()) {
            file.resize(length);
            return file;
        }
        file.resize(file.size() * 2);
    }
}

std::string directoryOf(std::string const& file) {
    auto const backslash = file.rfind('\\');
    return backslash == std::string::npos ? std::string() : file.substr(0, backslash + 1);
}

// Any address inside the module that holds this code.
void markerInsideThisModule() {}

}  // namespace

std::string moduleDirectory(char const* moduleName) {
    // By name, a copy loaded under another name is not found: then the
    // loader gives no module, and the host executable's directory is the
    // answer. The loader is asked each time, as modules come and go.
    HMODULE module = nullptr;
    if (moduleName != nullptr) {
        module = ::GetModuleHandleA(moduleName);
    } else if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     reinterpret_cast<LPCSTR>(&markerInsideThisModule), &module)) {
        return {};
    }
    return directoryOf(moduleFileName(module));
}

}  // namespace vesnik::platform
