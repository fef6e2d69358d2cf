# The Debian revision of the changelog's newest entry, whose upstream part
# must be VERSION: a release adds its entry there.
function(vesnik_debian_revision changelog version out)
  file(STRINGS ${changelog} newest LIMIT_COUNT 1)
  if(NOT newest MATCHES "^vesnik \\(([^)]+)-([^)-]+)\\)")
    message(FATAL_ERROR "${changelog}: no version in its first line")
  elseif(NOT CMAKE_MATCH_1 STREQUAL version)
    message(FATAL_ERROR "${changelog}: its newest entry is ${CMAKE_MATCH_1}, "
                        "not ${version}; add an entry for this release")
  endif()
  set(${out} ${CMAKE_MATCH_2} PARENT_SCOPE)
endfunction()
