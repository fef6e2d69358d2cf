# Installs the library, its header, a CMake package and a pkg-config file.
install(TARGETS Vesnik_API EXPORT Vesnik_APITargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(vesnik_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vesnik_API)
install(EXPORT Vesnik_APITargets NAMESPACE Vesnik_API:: DESTINATION ${vesnik_package_dir})
configure_package_config_file(cmake/Vesnik_APIConfig.cmake.in
  ${PROJECT_BINARY_DIR}/Vesnik_APIConfig.cmake INSTALL_DESTINATION ${vesnik_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/Vesnik_APIConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/Vesnik_APIConfig.cmake
              ${PROJECT_BINARY_DIR}/Vesnik_APIConfigVersion.cmake
        DESTINATION ${vesnik_package_dir})

# The pkg-config file finds its prefix from where it lies, so that an
# install moved to, or made under, another prefix still works.
file(RELATIVE_PATH vesnik_pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" vesnik_pc_to_prefix "${vesnik_pc_to_prefix}")
configure_file(cmake/Vesnik_API.pc.in ${PROJECT_BINARY_DIR}/Vesnik_API.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/Vesnik_API.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
# The C interface's own, found by the same rule.
configure_file(cmake/vesnik.pc.in ${PROJECT_BINARY_DIR}/vesnik.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vesnik.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
