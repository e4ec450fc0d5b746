# What an install holds besides the programs and libraries (the copyright and
# changelog, the manual pages, spshost's desktop entry and icon), and the Debian
# package: `cpack -G DEB` in a build folder, or scripts/package. Their sources
# are in packaging/.

# The package's maintainer, named in the package, its changelog and its
# copyright file.
set(SPS_PACKAGE_MAINTAINER "SPS Loader developers <developers@spsloader.org>"
    CACHE STRING "The Debian package's maintainer: \"Name <address>\"")
if(SPS_PACKAGE_MAINTAINER MATCHES "@(localhost|.*\\.localdomain)>?$")
    message(FATAL_ERROR "SPS_PACKAGE_MAINTAINER must be an address mail reaches: ${SPS_PACKAGE_MAINTAINER}")
endif()

set(SPS_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(SPS_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/spsloader)
set(SPS_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# A native package's changelog names the package's own version first.
file(STRINGS ${SPS_PACKAGING_DIR}/changelog.in sps_changelog_head LIMIT_COUNT 1)
if(NOT sps_changelog_head MATCHES "^spsloader \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog.in does not begin with version ${PROJECT_VERSION}: "
                        "add an entry for it")
endif()

# The paths the manual pages name, as this install lays them out.
set(SPS_MAN_LIBDIR ${CMAKE_INSTALL_FULL_LIBDIR}/spsloader)
set(SPS_MAN_PLUGINDIR ${SPS_MAN_LIBDIR}/plugins)
set(SPS_MAN_TRANSLATIONSDIR ${CMAKE_INSTALL_FULL_DATADIR}/spsloader/translations)
configure_file(${SPS_PACKAGING_DIR}/spsload.1.in ${SPS_PACKAGING_OUT}/spsload.1 @ONLY)
configure_file(${SPS_PACKAGING_DIR}/spshost.1.in ${SPS_PACKAGING_OUT}/spshost.1 @ONLY)
configure_file(${SPS_PACKAGING_DIR}/changelog.in ${SPS_PACKAGING_OUT}/changelog @ONLY)
configure_file(${SPS_PACKAGING_DIR}/copyright ${SPS_PACKAGING_OUT}/copyright @ONLY)
configure_file(${SPS_PACKAGING_DIR}/lintian-overrides.in ${SPS_PACKAGING_OUT}/lintian-overrides
               @ONLY)

# Compressed as Debian wants them: the most, and without a name or a time in
# the header, so that a build gives the same bytes each time.
find_program(SPS_GZIP gzip REQUIRED)
set(sps_compressed)
foreach(name spsload.1 spshost.1 changelog)
    set(gz ${SPS_PACKAGING_OUT}/gz/${name}.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E copy ${SPS_PACKAGING_OUT}/${name} ${SPS_PACKAGING_OUT}/gz/${name}
        COMMAND ${SPS_GZIP} -9nf ${SPS_PACKAGING_OUT}/gz/${name}
        DEPENDS ${SPS_PACKAGING_OUT}/${name}
        VERBATIM)
    list(APPEND sps_compressed ${gz})
endforeach()
add_custom_target(spsdocs ALL DEPENDS ${sps_compressed})

install(FILES ${SPS_PACKAGING_OUT}/gz/spsload.1.gz ${SPS_PACKAGING_OUT}/gz/spshost.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${SPS_PACKAGING_OUT}/copyright ${SPS_PACKAGING_OUT}/gz/changelog.gz
        DESTINATION ${SPS_DOC_DIR})
install(FILES ${SPS_PACKAGING_DIR}/spshost.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SPS_PACKAGING_DIR}/spshost.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${SPS_PACKAGING_OUT}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME spsloader)

# dpkg-shlibdeps works the dependencies out from the installed programs and
# libraries, so the package names the Debian Qt packages it really needs.
set(CPACK_PACKAGE_NAME spsloader)
set(CPACK_PACKAGE_VENDOR "SPS Loader developers")
set(CPACK_PACKAGE_CONTACT "${SPS_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Imports a land survey's shot and receiver positions from SPS files")
# One string, its lines broken by hand: separate arguments would be joined with
# semicolons, and a long line is hard to read in a package manager.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "SPS files are the fixed-column exchange format of land seismic surveys: a\n"
    "source file of shot points, a receiver file of receiver points and a\n"
    "relation file between them. This package holds a plug-in that loads them\n"
    "into a seismic interpretation host's pre-stack geometry, with a dialog to\n"
    "preview the files and set their column layout (SPS revision 1, 2.1 or one\n"
    "of the user's own); the spsload command, which loads SPS files without a\n"
    "window and writes the points as CSV, their map as a picture and a check of\n"
    "the survey; and spshost, a small host window to use the plug-in with a\n"
    "mouse. Gzipped SPS files are read as they are.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped as Debian strips, by packaging/strip-debian.cmake: no debug symbols
# are shipped.
set(CPACK_STRIP_FILES OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${SPS_PACKAGING_DIR}/strip-debian.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# spshost's window needs a platform plug-in for the display (xcb, wayland); its
# pictures and spsload's maps need none, libqt6gui6's offscreen one does.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-qpa-plugins)
# The maintainer scripts and control files with the permissions dpkg gives them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps must find the package's own libraries, which no other package
# provides, while it looks at the programs that need them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/usr/${SPS_INSTALL_PRIVATELIBDIR})
include(CPack)
