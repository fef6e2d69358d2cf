# Installs the two libraries, their headers, a CMake package and a
# pkg-config file each.
#
# Every file goes to one install component, and each component becomes one
# Debian package (cmake/Packaging.cmake): a library's runtime part, and its
# development part. The CMake package is split the same way, so that either
# development package works without the other.
install(TARGETS Vesnik_API EXPORT Vesnik_APITargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT api_runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT api_runtime
          NAMELINK_COMPONENT api_development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT api_development
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT api_development)

# One targets file per library; the C interface's export set is named in
# capi/CMakeLists.txt.
set(vesnik_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vesnik_API)
install(EXPORT Vesnik_APITargets NAMESPACE Vesnik_API:: DESTINATION ${vesnik_package_dir}
        COMPONENT api_development)
install(EXPORT vesnikTargets NAMESPACE Vesnik_API:: DESTINATION ${vesnik_package_dir}
        COMPONENT c_development)

# find_package(Vesnik_API) accepts either spelling of the config file, so
# each development package carries its own copy under one of them (two
# packages cannot own one file). Both copies include whichever targets files
# are there.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/Vesnik_APIConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
foreach(spelling IN ITEMS "Vesnik_APIConfig;Vesnik_APIConfigVersion;api_development"
                          "vesnik_api-config;vesnik_api-config-version;c_development")
  list(GET spelling 0 config)
  list(GET spelling 1 version)
  list(GET spelling 2 component)
  configure_package_config_file(cmake/Vesnik_APIConfig.cmake.in
    ${PROJECT_BINARY_DIR}/package-config/${config}.cmake INSTALL_DESTINATION ${vesnik_package_dir})
  install(FILES ${PROJECT_BINARY_DIR}/package-config/${config}.cmake DESTINATION ${vesnik_package_dir}
          COMPONENT ${component})
  install(FILES ${PROJECT_BINARY_DIR}/Vesnik_APIConfigVersion.cmake DESTINATION ${vesnik_package_dir}
          RENAME ${version}.cmake COMPONENT ${component})
endforeach()

# The pkg-config file finds its prefix from where it lies, so that an
# install moved to, or made under, another prefix still works. A system
# package names its fixed prefix instead, as the system's own .pc files do.
if(VESNIK_DEBIAN_PACKAGES)
  set(vesnik_pc_prefix ${CMAKE_INSTALL_PREFIX})
else()
  file(RELATIVE_PATH vesnik_pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
  string(REGEX REPLACE "/$" "" vesnik_pc_to_prefix "${vesnik_pc_to_prefix}")
  set(vesnik_pc_prefix "\${pcfiledir}/${vesnik_pc_to_prefix}")
endif()
configure_file(cmake/Vesnik_API.pc.in ${PROJECT_BINARY_DIR}/Vesnik_API.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/Vesnik_API.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT api_development)
# The C interface's own, found by the same rule. A static link of libvesnik
# also needs the utf8proc it links, unless utf8proc is inside it.
set(vesnik_pc_requires_private "")
if(VESNIK_UTF8PROC_PKG_CONFIG_MODULE)
  set(vesnik_pc_requires_private "Requires.private: ${VESNIK_UTF8PROC_PKG_CONFIG_MODULE}")
endif()
configure_file(cmake/vesnik.pc.in ${PROJECT_BINARY_DIR}/vesnik.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vesnik.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT c_development)
