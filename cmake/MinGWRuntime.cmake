# The MinGW-w64 runtime DLLs, shipped beside Vesnik_API.dll.
#
# Hosts free with delete and free() the vectors, records and strings that the
# library allocates, and a std::bad_alloc may leave a lookup. Both are sound
# only when the host and the library share one C++ runtime: one operator
# new/delete over one heap, and one unwinder that knows both modules' frames.
# Linking the runtime statically would give the library a private copy whose
# unwinder cannot see the host's frames, so the DLLs are shipped instead, and
# a host built with the same toolchain uses the same ones.
set(vesnik_runtime_names libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
set(VESNIK_MINGW_RUNTIME_DLLS)
foreach(name IN LISTS vesnik_runtime_names)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                  OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll}" OR NOT EXISTS "${dll}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${name} to ship")
  endif()
  get_filename_component(dll "${dll}" REALPATH)
  list(APPEND VESNIK_MINGW_RUNTIME_DLLS ${dll})
endforeach()

# Copied beside the DLL in the build tree too, so that the test programs run
# as a host does.
set(vesnik_runtime_copies)
foreach(dll IN LISTS VESNIK_MINGW_RUNTIME_DLLS)
  get_filename_component(name ${dll} NAME)
  set(copy ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dll} ${copy}
    DEPENDS ${dll} VERBATIM)
  list(APPEND vesnik_runtime_copies ${copy})
endforeach()
add_custom_target(vesnik_mingw_runtime ALL DEPENDS ${vesnik_runtime_copies})
# Every program of the build links the contacts code, so none runs before
# the runtime is in place.
add_dependencies(vesnik_contacts vesnik_mingw_runtime)

install(FILES ${VESNIK_MINGW_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT api_runtime)
