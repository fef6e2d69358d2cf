# Run by cpack after it has built the Debian packages (CPACK_POST_BUILD_SCRIPTS).
#
# CPack gives a package with a library under /usr/lib a postinst and a postrm
# that call ldconfig, and offers no way to leave them out. The library
# packages activate dpkg's ldconfig trigger instead (their triggers file), so
# those two scripts are taken out and the package is built again as it was
# otherwise: same files, same control data.
find_program(VESNIK_DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${VESNIK_DPKG_DEB} --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  if(EXISTS ${tree}/DEBIAN/triggers)
    foreach(script IN ITEMS postinst postrm)
      if(EXISTS ${tree}/DEBIAN/${script})
        file(READ ${tree}/DEBIAN/${script} text)
        # Only CPack's own script, which does nothing else.
        string(REGEX REPLACE "#![^\n]*\n|set -e\n|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then\n|\tldconfig\n|fi\n|\n"
               "" rest "${text}")
        if(NOT rest STREQUAL "")
          message(FATAL_ERROR "${package}: ${script} does more than call ldconfig:\n${text}")
        endif()
        file(REMOVE ${tree}/DEBIAN/${script})
      endif()
    endforeach()
    execute_process(COMMAND ${VESNIK_DPKG_DEB} --root-owner-group -Zxz --build ${tree} ${package}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
