# What people install: the command's manual page and shell completion, and
# with CPack the Debian packages (preset "package") or the Windows archive
# (preset "windows-x86"). The packages' own files are under packaging/.
set(vesnik_packaging_source ${PROJECT_SOURCE_DIR}/packaging)
set(vesnik_packaging_binary ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_PACKAGE_NAME vesnik)
set(CPACK_PACKAGE_VENDOR "Vesnik_API maintainers")
set(CPACK_PACKAGE_CONTACT "Vesnik_API maintainers <maintainers@users.noreply.c-seed-fc86afea.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

# The licence's name and holder, from LICENSE, for the packages' metadata.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE vesnik_license_file)
if(NOT vesnik_license_file MATCHES "^([A-Za-z0-9.-]+) License\n\nCopyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE: not a licence's name, a copyright line and the licence's text")
endif()
set(vesnik_license ${CMAKE_MATCH_1})
set(vesnik_copyright ${CMAKE_MATCH_2})
set(vesnik_license_text ${CMAKE_MATCH_3})

# The manual page and completion, wherever the command is built for a
# Unix-like system.
if(TARGET vesnik AND UNIX)
  if(VESNIK_DEBIAN_PACKAGES)
    find_program(VESNIK_SCDOC scdoc REQUIRED)
  else()
    find_program(VESNIK_SCDOC scdoc)
  endif()
  if(VESNIK_SCDOC)
    configure_file(${vesnik_packaging_source}/vesnik.1.scd ${vesnik_packaging_binary}/vesnik.1.scd @ONLY)
    set(vesnik_manual ${vesnik_packaging_binary}/vesnik.1.gz)
    add_custom_command(OUTPUT ${vesnik_manual}
      COMMAND sh -c "\"$0\" <\"$1\" | gzip -9n >\"$2\"" ${VESNIK_SCDOC}
              ${vesnik_packaging_binary}/vesnik.1.scd ${vesnik_manual}
      DEPENDS ${vesnik_packaging_binary}/vesnik.1.scd
      COMMENT "Writing the manual page vesnik(1)"
      VERBATIM)
    add_custom_target(vesnik_manual ALL DEPENDS ${vesnik_manual})
    install(FILES ${vesnik_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT command)
  else()
    message(STATUS "scdoc not found: no manual page for vesnik")
  endif()
  install(FILES ${vesnik_packaging_source}/completion/vesnik.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vesnik
          COMPONENT command)
  install(FILES ${vesnik_packaging_source}/completion/_vesnik
          DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions COMPONENT command)
endif()

if(WIN32)
  # One archive of everything the install gives, with a README for Windows.
  configure_file(${vesnik_packaging_source}/windows/README.txt ${vesnik_packaging_binary}/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${vesnik_packaging_binary}/README.txt DESTINATION . COMPONENT c_development)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${vesnik_packaging_binary}/LICENSE.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${vesnik_packaging_binary}/LICENSE.txt DESTINATION . COMPONENT c_development)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME vesnik-${PROJECT_VERSION}-win32)
  include(CPack)
  return()
endif()

if(NOT VESNIK_DEBIAN_PACKAGES)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  return()
endif()

# Debian packages, one a component, named as Debian names them: a runtime
# library after its SONAME, a development package after the library.
set(vesnik_so ${PROJECT_VERSION_MAJOR})
# component:package:section
set(vesnik_packages
  api_runtime:libvesnik-api${vesnik_so}:libs
  api_development:libvesnik-api-dev:libdevel
  c_runtime:libvesnik${vesnik_so}:libs
  c_development:libvesnik-dev:libdevel
  python:python3-vesnik:python)
if(TARGET vesnik)
  list(APPEND vesnik_packages command:vesnik:utils)
endif()

# The packages' version is the changelog's newest entry.
include(${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake)
vesnik_debian_revision(${vesnik_packaging_source}/debian/changelog ${PROJECT_VERSION}
                       CPACK_DEBIAN_PACKAGE_RELEASE)
set(vesnik_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE vesnik)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# CPack puts the project's summary above each package's own description
# unless the summary is the one CPack makes up itself: this is that one.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# shlibdeps finds our libraries in the build tree; their packages are
# declared below, as the system has no record of them yet.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})

# Our own libraries' packages, by the targets the command links.
set(vesnik_command_depends "")
if(TARGET vesnik)
  get_target_property(vesnik_links vesnik LINK_LIBRARIES)
  set(vesnik_our_libraries Vesnik_API vesnik_c)
  set(vesnik_their_packages libvesnik-api${vesnik_so} libvesnik${vesnik_so})
  foreach(library package IN ZIP_LISTS vesnik_our_libraries vesnik_their_packages)
    if(library IN_LIST vesnik_links)
      list(APPEND vesnik_command_depends "${package} (>= ${vesnik_version})")
    endif()
  endforeach()
  list(JOIN vesnik_command_depends ", " vesnik_command_depends)
endif()

set(vesnik_depends_api_development "libvesnik-api${vesnik_so} (= ${vesnik_version})")
# vesnik.pc requires libutf8proc.pc (Requires.private), which pkg-config reads
# even for a shared link.
set(vesnik_depends_c_development "libvesnik${vesnik_so} (= ${vesnik_version}), libutf8proc-dev")
set(vesnik_depends_command "${vesnik_command_depends}")
set(vesnik_depends_python "python3:any (>= 3.8), libvesnik${vesnik_so} (>= ${vesnik_version})")

set(vesnik_about_library
  "The library reads an address book, a plain-text file of one contact a line
with up to five columns (two name fields, an e-mail address, an identifier
and a fifth field), and answers lookups by identifier or e-mail address.
Each lookup reads the file anew and never writes it; any number of threads
may look up at once.")
set(vesnik_describe_api_runtime "read-only lookups in a plain-text address book (C++)
${vesnik_about_library}

This package holds libVesnik_API, whose six C++ functions hand back
standard-library vectors and records that the host frees.")
set(vesnik_describe_api_development "read-only lookups in a plain-text address book (C++ headers)
${vesnik_about_library}

This package holds what a C++ host builds against libVesnik_API with:
Vesnik_API.h, Vesnik_API_owners.h with owners for the results, the
pkg-config file Vesnik_API.pc and the CMake target
Vesnik_API::Vesnik_API.")
set(vesnik_describe_c_runtime "read-only lookups in a plain-text address book (C interface)
${vesnik_about_library}

This package holds libvesnik, the C interface: lookups by identifier,
e-mail or words of a name, with C linkage, for hosts in any language.")
set(vesnik_describe_c_development "read-only lookups in a plain-text address book (C headers)
${vesnik_about_library}

This package holds what a host builds against libvesnik with: vesnik.h,
the pkg-config file vesnik.pc and the CMake target Vesnik_API::vesnik.")
set(vesnik_describe_command "look contacts up in a plain-text address book
vesnik prints the contacts of an address book, a plain-text file of one
contact a line, that match words of a name or address, identifiers or an
e-mail address, as TAB-separated text or JSON.

Mail clients call it to complete addresses: mutt and neomutt through
query_command, aerc through address-book-cmd. Set VESNIK_BOOK to the book
to read.")
set(vesnik_describe_python "read-only lookups in a plain-text address book (Python 3)
${vesnik_about_library}

This package holds the Python 3 module vesnik, which calls the C interface
in libvesnik through ctypes.")

# Debian's copyright file: the licence's text indented, a blank line as " .".
string(STRIP "${vesnik_license_text}" vesnik_license_text)
string(REPLACE "\n\n" "\n.\n" vesnik_license_text "${vesnik_license_text}")
string(REPLACE "\n" "\n " vesnik_license_text " ${vesnik_license_text}")
configure_file(${vesnik_packaging_source}/debian/copyright.in ${vesnik_packaging_binary}/copyright @ONLY)

set(CPACK_COMPONENTS_ALL "")
foreach(entry IN LISTS vesnik_packages)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 component)
  list(GET entry 1 package)
  list(GET entry 2 section)
  string(TOUPPER ${component} name)
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  set(CPACK_DEBIAN_${name}_PACKAGE_NAME ${package})
  set(CPACK_DEBIAN_${name}_PACKAGE_SECTION ${section})
  set(CPACK_DEBIAN_${name}_DESCRIPTION "${vesnik_describe_${component}}")
  # Set even when empty, so that only what shlibdeps finds is added.
  set(CPACK_DEBIAN_${name}_PACKAGE_DEPENDS "${vesnik_depends_${component}}")

  # Debian's copyright file and changelog in every package's documentation.
  set(docdir ${CMAKE_INSTALL_DATADIR}/doc/${package})
  install(FILES ${vesnik_packaging_binary}/copyright DESTINATION ${docdir}
          COMPONENT ${component})
  install(FILES ${vesnik_packaging_binary}/changelog.Debian.gz DESTINATION ${docdir}
          COMPONENT ${component})
endforeach()

# A runtime library's package lets dpkg run ldconfig once, by trigger.
set(CPACK_DEBIAN_API_RUNTIME_PACKAGE_CONTROL_EXTRA ${vesnik_packaging_source}/debian/triggers)
set(CPACK_DEBIAN_C_RUNTIME_PACKAGE_CONTROL_EXTRA ${vesnik_packaging_source}/debian/triggers)
# CPack also writes maintainer scripts that call ldconfig, which the trigger
# replaces: they are taken out of the built packages.
set(CPACK_POST_BUILD_SCRIPTS ${vesnik_packaging_source}/debian/drop-ldconfig-scripts.cmake)

add_custom_command(OUTPUT ${vesnik_packaging_binary}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${vesnik_packaging_source}/debian/changelog
          ${vesnik_packaging_binary}/changelog.Debian
  COMMAND gzip -9nf ${vesnik_packaging_binary}/changelog.Debian
  DEPENDS ${vesnik_packaging_source}/debian/changelog
  VERBATIM)
add_custom_target(vesnik_debian_changelog ALL DEPENDS ${vesnik_packaging_binary}/changelog.Debian.gz)

# The Python package, pure Python: it loads the system's libvesnik.so.1,
# for which it depends on libvesnik's package.
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
    "${vesnik_packaging_source}/debian/python3-vesnik/postinst;${vesnik_packaging_source}/debian/python3-vesnik/prerm")
set(vesnik_python_dir lib/python3/dist-packages)
configure_file(${PROJECT_SOURCE_DIR}/python/vesnik/_version.py.in ${vesnik_packaging_binary}/_version.py
               @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/python/vesnik/__init__.py ${PROJECT_SOURCE_DIR}/python/vesnik/_native.py
              ${vesnik_packaging_binary}/_version.py ${PROJECT_SOURCE_DIR}/python/vesnik/py.typed
        DESTINATION ${vesnik_python_dir}/vesnik COMPONENT python)
# Its metadata, so that pip and importlib.metadata know it is there.
file(READ ${PROJECT_SOURCE_DIR}/python/pyproject.toml vesnik_pyproject)
string(REGEX MATCH "\ndescription = \"([^\"]+)\"" _ "${vesnik_pyproject}")
file(WRITE ${vesnik_packaging_binary}/vesnik-${PROJECT_VERSION}.egg-info
  "Metadata-Version: 2.1\nName: vesnik\nVersion: ${PROJECT_VERSION}\n"
  "Summary: ${CMAKE_MATCH_1}\nLicense: ${vesnik_license}\nRequires-Python: >=3.8\n")
install(FILES ${vesnik_packaging_binary}/vesnik-${PROJECT_VERSION}.egg-info
        DESTINATION ${vesnik_python_dir} COMPONENT python)

include(CPack)
