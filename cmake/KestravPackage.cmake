# The Debian package, made by CPack from the installation rules
# (`make package`, or `cpack -G DEB` in a configured build folder):
# build/kestrav_<version>-<revision>_<arch>.deb, installing into /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrav)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${KESTRAV_VENDOR}")
set(CPACK_PACKAGE_CONTACT "${KESTRAV_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for dash-camera recordings")
set(CPACK_PACKAGE_DESCRIPTION [=[
Kestrav plays the recordings of a vehicle dash camera (a black box). It
finds the camera's memory card, lists the recordings by category and plays
the front and rear pictures side by side, while the speed, the G-sensor
graph, the brake and turn signals and the GPS track on a map follow the
playing second.

The command kestrav-export writes a recording's GPS track as GPX and its
telemetry samples as CSV.]=])
# Installed with DESTDIR and the package's own prefix, so that the install
# scripts see /usr in CMAKE_INSTALL_PREFIX (the Leaflet link depends on it).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KESTRAV_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Libraries the programs link: computed from the binaries (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the viewer loads by name at run time, which no linker sees: the
# GStreamer elements of its pipelines (avidemux, qtdemux, h264parse,
# avdec_h264, audio conversion and sinks), the web engine's helper process,
# Qt's platform plugins, the Korean fonts, and Leaflet for the map page.
set(CPACK_DEBIAN_PACKAGE_DEPENDS [=[gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, libqt6webenginecore6-bin, qt6-qpa-plugins, fonts-nanum, libjs-leaflet]=])
# Wayland sessions run Qt natively with the Wayland platform plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

include(CPack)
