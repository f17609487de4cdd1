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
# The package's own revision of the program's version, so its changelog is the
# package's, changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Folders as Debian has them, whatever the umask of whoever packs.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Qt loads its window-system plugin at run time, out of dpkg-shlibdeps' sight. The X11
# one ships in libqt6gui6, which the program links; the Wayland one is a package of its
# own, without which Qt on a Wayland desktop falls back to XWayland, or, where there is
# none, stops before a window opens.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

if(UNIX AND NOT APPLE)
    include(GNUInstallDirs)
    configure_file(${PROJECT_SOURCE_DIR}/assets/debian/changelog.Debian.in
        ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
    carte_gzip(${PROJECT_BINARY_DIR}/debian/changelog.Debian ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/assets/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME carte-de-telefon)
endif()

include(CPack)
