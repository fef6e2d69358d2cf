# Fails unless the library's dynamic symbol table defines exactly the six
# lookups.
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(exported)
foreach(line IN LISTS lines)
  string(REGEX REPLACE " .*" "" name "${line}")
  list(APPEND exported ${name})
endforeach()
list(SORT exported)
set(expected
  _Z11GetContactsPKcS0_
  _Z12GetContactIDPKcS0_S0_
  _Z14GetContactInfoPKcS0_S0_
  _Z15GetContactInfosPKSt6vectorIPcSaIS0_EEPKcS6_
  _Z24GetContactInfosFromEmailPKcS0_S0_
  _Z29GetDefaultAddressBookLocationv)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "exported: ${exported}\nexpected: ${expected}")
endif()
message(STATUS "exports: ${exported}")
