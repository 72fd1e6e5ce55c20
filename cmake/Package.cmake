# The Debian package: `cpack -G DEB` in the build folder. dpkg-shlibdeps finds
# the Qt 6 and libjpeg-turbo runtime packages the programs link; the Qt
# platform plugins are loaded at run time, so they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ardeviz)
set(CPACK_PACKAGE_VENDOR Ardeviz)
set(CPACK_PACKAGE_CONTACT "Ardeviz developers <ardeviz@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for networked digital video recorders")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Connects to one networked video recorder, shows its live camera pictures, drives\n\
pan/tilt/zoom cameras, plays back, records and prints its archive. Comes with\n\
dvr-sim, a simulated recorder for trying the viewer without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
include(CPack)
