# Fails unless the sorted list `exported` names exactly the six lookups, by
# their C++ names as both toolchains decorate them.
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
