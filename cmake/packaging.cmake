# What `cmake --install` puts where, and the packages CPack builds from it: a
# .deb on Linux, a .zip of geobudget.exe and the README on Windows.

include(GNUInstallDirs)

if(WIN32)
  # A Windows user unpacks one folder: the program and its notes side by side.
  install(TARGETS geobudget RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
else()
  install(TARGETS geobudget RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES doc/geobudget.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME geobudget)
set(CPACK_PACKAGE_VENDOR "geobudget developers")
set(CPACK_PACKAGE_CONTACT "geobudget developers <geobudget@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "delta V budget for reaching geosynchronous orbit by three routes")
set(CPACK_PACKAGE_DESCRIPTION
    "geobudget prints a velocity budget for moving a spacecraft from a 365 x 35989 km\n\
orbit inclined 51.6 degrees into geosynchronous orbit: directly, by way of the\n\
Moon's distance, and with a lunar swing-by.  It asks where to write the report.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
# Code locations in error reports stay the same: stripping removes only the
# debugging information, which the build tree keeps for addr2line.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The program is linked statically: it needs nothing installed beside it.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
endif()

include(CPack)
