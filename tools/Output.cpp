#include "Output.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vesnik::tool {

namespace {

#ifdef _WIN32
std::string windowsReason(DWORD code) {
    char text[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, code, 0, text, sizeof text, nullptr);
    // Windows ends its sentences with a full stop and CR LF.
    while (length > 0 && std::strchr(" .\r\n", text[length - 1]) != nullptr) {
        --length;
    }
    if (length == 0) {
        return "Windows error " + std::to_string(code);
    }
    return std::string(text, length);
}
#else
std::string errnoReason(int code) {
    return std::generic_category().message(code);
}
#endif

}  // namespace

std::string lookupFailureReason() {
#ifdef _WIN32
    return windowsReason(::GetLastError());
#else
    return errnoReason(errno);
#endif
}

void Output::writeAll(std::string_view pending) {
    while (!pending.empty()) {
#ifdef _WIN32
        // WriteFile passes the bytes unchanged, and tells a reader that went
        // away from a failure, which the C runtime's write does not.
        DWORD written = 0;
        if (!::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), pending.data(),
                         static_cast<DWORD>(pending.size()), &written, nullptr)) {
            DWORD const code = ::GetLastError();
            throw WriteError(windowsReason(code), code == ERROR_BROKEN_PIPE ||
                                                      code == ERROR_NO_DATA ||
                                                      code == ERROR_PIPE_NOT_CONNECTED);
        }
#else
        ssize_t const written = ::write(STDOUT_FILENO, pending.data(), pending.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A reader that went away only gets here with SIGPIPE ignored;
            // then the reason is said, as grep says it.
            int const code = written < 0 ? errno : EIO;
            throw WriteError(errnoReason(code), false);
        }
#endif
        pending.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace vesnik::tool
