# What `cmake --install` puts where, and what `make package` builds with
# CPack: the Debian package from the native build, the zip from the
# Windows one.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Harvex Utility authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "export recorder data and alarm/event files as comma-separated text")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  if(NOT TARGET HarvexUtility)
    return()
  endif()
  # One folder to unpack and run; texts with CR LF for Notepad.
  configure_file(resources/README.txt ${CMAKE_BINARY_DIR}/README.txt NEWLINE_STYLE CRLF @ONLY)
  configure_file(LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt NEWLINE_STYLE CRLF @ONLY)
  install(TARGETS HarvexUtility harvex RUNTIME DESTINATION .)
  install(FILES resources/wHarvex.htm ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME HarvexUtility-${PROJECT_VERSION}-win64)
  else()
    set(CPACK_PACKAGE_FILE_NAME HarvexUtility-${PROJECT_VERSION}-win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
set(HX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/harvex)
install(TARGETS harvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES cli/harvex-completion.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME harvex)
install(FILES README.md resources/wHarvex.htm DESTINATION ${HX_DOC_DIR})
install(FILES docs/plot.png DESTINATION ${HX_DOC_DIR}/docs)

# The manual page, made from the program's own help.
find_program(HX_HELP2MAN help2man)
if(HX_HELP2MAN)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/harvex.1.gz
    COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/harvex-man.sh $<TARGET_FILE:harvex> ${CMAKE_SOURCE_DIR}/cli/harvex.h2m ${CMAKE_BINARY_DIR}/harvex.1
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/harvex.1
    DEPENDS harvex ${CMAKE_SOURCE_DIR}/cli/harvex.h2m ${CMAKE_SOURCE_DIR}/cmake/harvex-man.sh
    COMMENT "Writing the manual page"
    VERBATIM)
  add_custom_target(harvex_man ALL DEPENDS ${CMAKE_BINARY_DIR}/harvex.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/harvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man is missing, so no manual page: scripts/setup native installs it")
endif()

# Debian wants the licence as copyright and a changelog, compressed.
string(TIMESTAMP HX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(READ LICENSE HX_LICENSE)
string(REGEX REPLACE "\n\n" "\n.\n" HX_LICENSE_DEB "${HX_LICENSE}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" HX_LICENSE_DEB " ${HX_LICENSE_DEB}")
file(WRITE ${CMAKE_BINARY_DIR}/debian/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: harvex\n\nFiles: *\nCopyright: 2026 The Harvex Utility authors\nLicense: Expat\n${HX_LICENSE_DEB}")
set(HX_MAINTAINER "The Harvex Utility authors <harvex@example.org>")
file(WRITE ${CMAKE_BINARY_DIR}/debian/changelog
  "harvex (${PROJECT_VERSION}) unstable; urgency=medium\n\n  * Release ${PROJECT_VERSION}.\n\n -- ${HX_MAINTAINER}  ${HX_CHANGELOG_DATE}\n")
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/debian/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
  VERBATIM)
add_custom_target(harvex_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${HX_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME harvex)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${HX_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links (cairo for the charts) become its dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION "harvex reads the files a paperless chart recorder stores on its memory card:
data files (*.DC*), merged on one time axis over a chosen span, and
alarm/event files (*.ALM), one line per event. It describes them, exports
them as CSV for spreadsheets and scripts, and draws charts (PNG or SVG).")
include(CPack)
