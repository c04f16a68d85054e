# Packages of the installation (cpack): on posix a Debian package of the libraries, headers, CLI,
# service, cmd and documentation (cpack -G DEB, to be installed under /usr); on Windows a zip of
# the DLLs, both import libraries, the headers, the CMake package and the CLI.
# Packaging takes what the build made and builds nothing itself (not all the test programs).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PACKAGE_NAME webinteractive)
set(CPACK_PACKAGE_VENDOR "webinteractive")
set(CPACK_PACKAGE_CONTACT "webinteractive developers <webinteractive@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "client library of a software-protection web service")
set(CPACK_PACKAGE_DESCRIPTION
  "webinteractive describes installed software as XML documents and uploads\n\
them, fetches lists and files from the service, protects a software in a\n\
hidden local store, and keeps and uploads an operation log. The package holds\n\
the libraries with their C and C++ headers, the host CLI, the reference\n\
service, the command interpreter the library starts and the documentation.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME webinteractive-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
  # The files every Debian package carries in its documentation folder.
  configure_file(cmake/debian/copyright ${PROJECT_BINARY_DIR}/debian/copyright COPYONLY)
  configure_file(cmake/debian/changelog ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/debian/changelog > changelog.Debian.gz
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/debian VERBATIM)
  add_custom_target(debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright
    ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/webinteractive)
endif()
include(CPack)
