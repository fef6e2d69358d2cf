# utf8proc, with which the C interface folds letter case and accents, as the
# target vesnik_utf8proc:
# - on Linux, Debian's libutf8proc-dev; VESNIK_UTF8PROC_LIBRARY is the shared
#   library's file, VESNIK_UTF8PROC_SONAME its name to the dynamic linker and
#   VESNIK_UTF8PROC_LICENSE its package's copyright file, for what carries a
#   copy of it;
# - for Windows, Debian's source package (scripts/install-deps.sh
#   src:utf8proc unpacks it) compiled with the cross compiler, linked
#   statically: vesnik.dll imports nothing more. VESNIK_UTF8PROC_LICENSE is
#   its licence, shipped with the DLL.
if(WIN32)
  # Where install-deps.sh unpacks it by default.
  set(VESNIK_UTF8PROC_SOURCE_DIR /usr/local/src/vesnik-deps/utf8proc
      CACHE PATH "utf8proc's sources, compiled with the cross compiler")
  if(NOT EXISTS ${VESNIK_UTF8PROC_SOURCE_DIR}/utf8proc.c)
    message(FATAL_ERROR "No utf8proc sources in ${VESNIK_UTF8PROC_SOURCE_DIR}: "
                        "scripts/install-deps.sh src:utf8proc unpacks Debian's")
  endif()
  enable_language(C)
  add_library(vesnik_utf8proc STATIC ${VESNIK_UTF8PROC_SOURCE_DIR}/utf8proc.c)
  target_compile_definitions(vesnik_utf8proc PUBLIC UTF8PROC_STATIC)
  target_include_directories(vesnik_utf8proc SYSTEM PUBLIC ${VESNIK_UTF8PROC_SOURCE_DIR})
  set(VESNIK_UTF8PROC_LICENSE ${VESNIK_UTF8PROC_SOURCE_DIR}/LICENSE.md)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(VESNIK_UTF8PROC REQUIRED IMPORTED_TARGET libutf8proc)
add_library(vesnik_utf8proc INTERFACE)
target_link_libraries(vesnik_utf8proc INTERFACE PkgConfig::VESNIK_UTF8PROC)
# For vesnik.pc's Requires.private.
set(VESNIK_UTF8PROC_PKG_CONFIG_MODULE libutf8proc)

list(GET VESNIK_UTF8PROC_LINK_LIBRARIES 0 linked)
get_filename_component(VESNIK_UTF8PROC_LIBRARY ${linked} REALPATH)
execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${VESNIK_UTF8PROC_LIBRARY}
                OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed OR NOT headers MATCHES "\n +SONAME +([^\n]+)")
  message(FATAL_ERROR "No SONAME in ${VESNIK_UTF8PROC_LIBRARY}")
endif()
set(VESNIK_UTF8PROC_SONAME ${CMAKE_MATCH_1})
execute_process(COMMAND dpkg-query -S ${VESNIK_UTF8PROC_LIBRARY}
                OUTPUT_VARIABLE owner RESULT_VARIABLE failed ERROR_QUIET)
if(failed OR NOT owner MATCHES "^([^:]+)")
  message(FATAL_ERROR "No Debian package holds ${VESNIK_UTF8PROC_LIBRARY}")
endif()
set(VESNIK_UTF8PROC_LICENSE /usr/share/doc/${CMAKE_MATCH_1}/copyright)
unset(linked)
unset(headers)
unset(owner)
unset(failed)
