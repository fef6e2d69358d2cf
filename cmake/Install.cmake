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

configure_file(cmake/Vesnik_API.pc.in ${PROJECT_BINARY_DIR}/Vesnik_API.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/Vesnik_API.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
