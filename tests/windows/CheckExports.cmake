# Fails unless the DLL's export table names exactly the six lookups, in this
# toolchain's decoration of their C++ signatures.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
endif()

# The name table follows its heading, one export a line as "[ordinal] name",
# up to the next blank line.
set(heading "[Ordinal/Name Pointer] Table\n")
string(FIND "${listing}" "${heading}" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${LIBRARY} exports nothing")
endif()
string(LENGTH "${heading}" length)
math(EXPR start "${start} + ${length}")
string(SUBSTRING "${listing}" ${start} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
# Brackets would group CMake list items: drop the ordinals first.
string(REGEX REPLACE "\\[ *[0-9]+\\] " "" table "${table}")
string(REGEX MATCHALL "[^\t\n]+" exported "${table}")
list(SORT exported)

include(${CMAKE_CURRENT_LIST_DIR}/../CompareExports.cmake)
