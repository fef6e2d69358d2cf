# Fails unless the library's dynamic symbol table defines exactly the six
# lookups.
execute_process(COMMAND ${NM} -D --defined-only --format=just-symbols ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" exported "${listing}")
list(SORT exported)
include(${CMAKE_CURRENT_LIST_DIR}/../CompareExports.cmake)
