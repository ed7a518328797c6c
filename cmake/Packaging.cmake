# The Debian package: `cpack -G DEB` in the release build tree (./run.sh --package) writes
# lumo-screensaver_<version>_amd64.deb with what `cmake --install` installs under /usr; its
# dependencies come from the binaries (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumo-screensaver)
set(CPACK_PACKAGE_VENDOR Corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Flash movies as screensavers, on Linux and for Windows")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvane <support@corvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://corvane.example/lumo-screensaver)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# ffmpeg records the videos a screensaver carries; xscreensaver runs Lumo as its saver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xsecurelock, wine")
set(CPACK_PACKAGE_DESCRIPTION "The editor keeps a playlist of Flash movies (.swf), pictures and web
addresses, previews them and plays them full screen with Ruffle, and is a
saver for xscreensaver and XSecureLock.

Its Creator builds a stand-alone, self-installing Windows screensaver of the
movies; each movie is recorded into a video that the screensaver plays on
Windows versions without the Flash control.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# What Debian asks of every package: its changelog and its copyright, in its doc folder.
include(GNUInstallDirs)
set(_doc ${CMAKE_BINARY_DIR}/package-doc)
add_custom_command(OUTPUT ${_doc}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_doc}
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/linux/changelog > ${_doc}/changelog.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/linux/changelog)
add_custom_target(lumo_package_doc ALL DEPENDS ${_doc}/changelog.gz)
install(FILES ${_doc}/changelog.gz ${CMAKE_SOURCE_DIR}/docs/linux/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/lumo-screensaver)
