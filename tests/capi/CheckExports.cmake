# Fails unless the C library exports exactly the functions vesnik.h declares,
# by their C names; for a DLL, also unless it imports nothing but Windows'
# own DLLs (its C and C++ runtimes are inside it).
#   cmake -DHEADER=vesnik.h -DLIBRARY=file (-DNM=nm | -DOBJDUMP=objdump) -P CheckExports.cmake
file(READ ${HEADER} header)
string(REGEX MATCHALL "[ *]vesnik_[a-z_]+\\(" declared "${header}")
list(TRANSFORM declared REPLACE "[ *(]" "")
list(SORT declared)

if(NM)
  execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  string(REGEX MATCHALL "(^|\n)[^ \n]+" exported "${listing}")
  list(TRANSFORM exported STRIP)
else()
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  # After its heading, the name table has one "[ordinal] name" a line.
  string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table\n" "" table "${listing}")
  string(REGEX REPLACE "\n\n.*" "" table "${table}")
  string(REGEX MATCHALL "\\] [^\n]+" exported "${table}")
  list(TRANSFORM exported REPLACE "\\] " "")

  string(REGEX MATCHALL "DLL Name: [^\n]+" imported "${listing}")
  list(TRANSFORM imported REPLACE "DLL Name: " "")
  list(TRANSFORM imported TOLOWER)
  list(SORT imported)
  if(NOT imported STREQUAL "kernel32.dll;msvcrt.dll")
    message(FATAL_ERROR "${LIBRARY} imports ${imported}, not only kernel32.dll;msvcrt.dll")
  endif()
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list the symbols of ${LIBRARY}")
endif()
list(SORT exported)
if(NOT declared OR NOT exported STREQUAL declared)
  message(FATAL_ERROR "exported: ${exported}\ndeclared: ${declared}")
endif()
message(STATUS "exports: ${exported}")
