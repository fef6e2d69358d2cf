# The project's version where the build cannot write it: the Debian
# changelog's newest entry, and each version the documentation gives as the
# current one ("vesnik-1.2.0-win32.zip", "version 1.2.0", "vesnik 1.2.0",
# VESNIK_VERSION_NUMBER; "since 1.1.0" is history and stays).
#   cmake -DVERSION=X.Y.Z -DSOURCE=<tree> -P StatedVersions.cmake
include(${SOURCE}/cmake/DebianChangelog.cmake)
vesnik_debian_revision(${SOURCE}/packaging/debian/changelog ${VERSION} revision)

string(REPLACE "." ";" parts ${VERSION})
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 patch)
math(EXPR number "${major} * 10000 + ${minor} * 100 + ${patch}")

file(GLOB documents ${SOURCE}/README.md ${SOURCE}/docs/*.md)
set(wrong "")
foreach(document IN LISTS documents)
  file(READ ${document} text)
  string(REGEX MATCHALL "(vesnik-|vesnik |Vesnik_API |[Vv]ersion )`?[0-9]+\\.[0-9]+\\.[0-9]+" versions
         "${text}")
  string(REGEX MATCHALL "VESNIK_VERSION_NUMBER`? +`?[0-9]+" numbers "${text}")
  foreach(statement IN LISTS versions numbers)
    string(REGEX MATCH "[0-9.]+$" stated "${statement}")
    if(NOT stated STREQUAL VERSION AND NOT stated STREQUAL number)
      list(APPEND wrong "${document}: '${statement}'")
    endif()
  endforeach()
endforeach()
if(wrong)
  list(JOIN wrong "\n  " wrong)
  message(FATAL_ERROR "not version ${VERSION}:\n  ${wrong}")
endif()
