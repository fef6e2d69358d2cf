# vesnik_warnings: the warning flags every target of this project builds with.
add_library(vesnik_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(vesnik_warnings INTERFACE -Wall -Wextra -Wpedantic -Wconversion
                                                   -Wsign-conversion -Wshadow)
  if(VESNIK_WARNINGS_AS_ERRORS)
    target_compile_options(vesnik_warnings INTERFACE -Werror)
  endif()
elseif(MSVC)
  target_compile_options(vesnik_warnings INTERFACE /W4 $<$<BOOL:${VESNIK_WARNINGS_AS_ERRORS}>:/WX>)
endif()
