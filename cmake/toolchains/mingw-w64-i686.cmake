# Cross-builds for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686).
#
# The posix-threads flavour of the compiler is named explicitly: Debian's
# default alternative is the win32 flavour, whose GCC 12 runtime has no
# std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(VESNIK_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VESNIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESNIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VESNIK_MINGW_TRIPLE}-windres)

# Libraries and headers come from the target's tree only; build tools from
# the machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${VESNIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
