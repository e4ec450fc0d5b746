# The Debian package: `cpack -G DEB` in a build folder, or scripts/package.
# dpkg-shlibdeps works the dependencies out from the installed programs and
# libraries, so the package names the Debian Qt packages it really needs.
set(CPACK_PACKAGE_NAME spsloader)
set(CPACK_PACKAGE_VENDOR "SPS Loader developers")
set(CPACK_PACKAGE_CONTACT "SPS Loader developers <spsloader@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Imports a land survey's shot and receiver positions from SPS files")
# One string: separate arguments would be joined into a list with semicolons.
set(CPACK_PACKAGE_DESCRIPTION "The SPS loader plug-in for a seismic interpretation host, \
the spsload command that loads SPS files without a window, and spshost, a small host to \
use the plug-in with a mouse.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps must find the package's own libraries, which no other package
# provides, while it looks at the programs that need them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/usr/${CMAKE_INSTALL_LIBDIR})
include(CPack)
