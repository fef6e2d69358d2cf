# Fails unless the DLL's export table names exactly the six lookups, in this
# toolchain's decoration of their C++ signatures.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
endif()
# The name table has a line "[ordinal] name" for each export; the address
# table's lines, also led by an ordinal, go on with "+base". Brackets would
# group CMake list items: the ordinals go before the matches are a list.
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^+\n][^\n]*" entries "${listing}")
string(REGEX REPLACE "\t\\[ *[0-9]+\\] " "" exported "${entries}")
list(SORT exported)
include(${CMAKE_CURRENT_LIST_DIR}/../CompareExports.cmake)
