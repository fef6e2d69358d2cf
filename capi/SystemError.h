// The reason the system gave for a failure, where the platform keeps it:
// errno, or the thread's last error on Windows. Kept aside while the lookup
// frees what it had, so that the caller still finds it.
#ifndef VESNIK_CAPI_SYSTEMERROR_H
#define VESNIK_CAPI_SYSTEMERROR_H

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#endif

namespace vesnik::capi {

class SystemError {
  public:
    static SystemError current() {
#ifdef _WIN32
        return SystemError(::GetLastError());
#else
        return SystemError(errno);
#endif
    }

    void restore() const {
#ifdef _WIN32
        ::SetLastError(code_);
#else
        errno = code_;
#endif
    }

  private:
#ifdef _WIN32
    using Code = DWORD;
#else
    using Code = int;
#endif
    explicit SystemError(Code code) : code_(code) {}

    Code code_;
};

}  // namespace vesnik::capi

#endif
