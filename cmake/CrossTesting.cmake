# Testing a cross build: GoogleTest built with the cross compiler from its
# sources, and, for Windows, every test program run under Wine.

# Debian's libgtest-dev ships the sources; its prebuilt libraries are for the
# build machine only.
set(VESNIK_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest's sources, built with the cross compiler")
if(NOT EXISTS ${VESNIK_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${VESNIK_GOOGLETEST_SOURCE_DIR} "
                      "(Debian: libgtest-dev)")
endif()
set(INSTALL_GTEST OFF)
add_subdirectory(${VESNIK_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The names find_package(GTest) gives, which GoogleTest before 1.11 does not
# define itself.
foreach(library gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()

if(CMAKE_SYSTEM_NAME STREQUAL "Windows" AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(VESNIK_WINE wine)
  if(NOT VESNIK_WINE)
    message(FATAL_ERROR "Testing the Windows build needs Wine (Debian: wine, wine32:i386)")
  endif()
  # The prefix lives in the build tree: nothing outside it is touched, and it
  # is made once per build tree.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/cmake/run-under-wine.sh ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
