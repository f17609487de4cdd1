# The Debian package: `cpack -G DEB` in the build folder. Its dependencies are found by
# dpkg-shlibdeps (package dpkg-dev) from the libraries the program links, plus what it
# loads at run time.
set(CPACK_PACKAGE_NAME carte-de-telefon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "carte de telefon")
set(CPACK_PACKAGE_CONTACT "carte de telefon maintainers <maintainers@example.invalid>"
    CACHE STRING "Maintainer of the packages, as \"Name <address>\"")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small phone book with a Romanian interface")
set(CPACK_PACKAGE_DESCRIPTION [=[
Type a surname, a first name and a phone number and add them as one line
to the phone book; show the list, delete a line, save the list as a Rich
Text Format document and print it.]=])
set(CPACK_PACKAGE_INSTALL_DIRECTORY carte-de-telefon)
set(CPACK_STRIP_FILES ON)
if(NOT CPACK_GENERATOR)
    set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins at run time, out of dpkg-shlibdeps' sight, and
# libqt6gui6 only recommends them: without them the program cannot open a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")

include(CPack)
