# Installation rules: `cmake --install <build> [--prefix P]` (P defaults to
# /usr/local; the Debian package uses /usr). The layout:
#
#   P/bin/kestrav            -> ../lib/kestrav/Kestrav, the launcher
#   P/bin/kestrav-export     the telemetry export tool
#   P/lib/kestrav/           the program folder, as the viewer expects it:
#                            Kestrav, Kestrav_Main, NvImageDll.rcc, mapView.htm
#                            and leaflet -> the system's Leaflet (libjs-leaflet)
#   P/share/applications/<id>.desktop, P/share/metainfo/<id>.metainfo.xml
#   P/share/icons/hicolor/<N>x<N>/apps/<id>.png, .../scalable/apps/<id>.svg
#   P/share/man/man1/kestrav.1.gz, kestrav-export.1.gz
#   P/share/doc/kestrav/copyright, changelog.Debian.gz
#   P/share/lintian/overrides/kestrav
#
# Nothing is written into the program folder at run time: settings go to the
# XDG configuration folder, the map's cache to the XDG cache folder.
# kestrav-democard, the skin gallery, playcheck, the tests and the
# benchmarks are development tools and are not installed.
#
# The folders are set in cmake/KestravInstallDirs.cmake; the package in
# cmake/KestravPackage.cmake.
set(KESTRAV_INSTALL_FULL_PRIVATEDIR "${CMAKE_INSTALL_PREFIX}/${KESTRAV_INSTALL_PRIVATEDIR}")

# Who the package is from, and under which terms; the copyright file, the
# AppStream metadata and the package's control file read them.
set(KESTRAV_VENDOR "Kestrav developers" CACHE STRING "Name of the project's authors")
set(KESTRAV_PACKAGE_CONTACT "Kestrav developers <packaging@kestrav.invalid>" CACHE STRING
  "Maintainer of the Debian package, \"Name <address>\"")
set(KESTRAV_LICENSE_SPDX "LicenseRef-proprietary" CACHE STRING "The project's licence (SPDX expression)")
set(KESTRAV_LICENSE_TEXT "All rights reserved." CACHE STRING "The licence's text for the copyright file")
set(KESTRAV_DEB_RELEASE 1 CACHE STRING "Debian revision of the package")
set(KESTRAV_DEB_VERSION "${PROJECT_VERSION}-${KESTRAV_DEB_RELEASE}")
string(SUBSTRING "${KESTRAV_RELEASE_DATE}" 0 4 KESTRAV_COPYRIGHT_YEAR)
execute_process(COMMAND date -u -R -d "${KESTRAV_RELEASE_DATE} 12:00:00"
  OUTPUT_VARIABLE KESTRAV_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _date_result)
if(NOT _date_result EQUAL 0)
  message(FATAL_ERROR "cannot format the release date ${KESTRAV_RELEASE_DATE}")
endif()

# The desktop entry, the AppStream metadata, the manual pages and the
# package's documents, made from dist/ into build/dist.
set(_dist ${CMAKE_BINARY_DIR}/dist)
configure_file(dist/kestrav.desktop.in ${_dist}/${KESTRAV_APP_ID}.desktop @ONLY)
configure_file(dist/kestrav.metainfo.xml.in ${_dist}/${KESTRAV_APP_ID}.metainfo.xml @ONLY)
configure_file(dist/copyright.in ${_dist}/copyright @ONLY)
foreach(_doc kestrav.1 kestrav-export.1 changelog.Debian)
  configure_file(dist/${_doc}.in ${_dist}/${_doc} @ONLY)
  # gzip -9n: maximal compression and no name or time stamp in the header,
  # so that the same sources give the same bytes.
  execute_process(COMMAND gzip -9nc ${_dist}/${_doc} OUTPUT_FILE ${_dist}/${_doc}.gz RESULT_VARIABLE _gz)
  if(NOT _gz EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${_doc}")
  endif()
endforeach()

# Directories made by the installation get the usual mode whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS Kestrav Kestrav_Main RUNTIME DESTINATION ${KESTRAV_INSTALL_PRIVATEDIR})
install(FILES ${CMAKE_BINARY_DIR}/bin/NvImageDll.rcc ${PROJECT_SOURCE_DIR}/viewer/map/mapView.htm
  DESTINATION ${KESTRAV_INSTALL_PRIVATEDIR})
install(TARGETS kestrav-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_dist}/${KESTRAV_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${_dist}/${KESTRAV_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(DIRECTORY ${KESTRAV_APPICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons)
install(FILES ${_dist}/kestrav.1.gz ${_dist}/kestrav-export.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_dist}/copyright ${_dist}/changelog.Debian.gz DESTINATION ${KESTRAV_INSTALL_DOCDIR})

install(FILES dist/lintian-overrides RENAME kestrav DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides)

# The two symbolic links, made at install time because the Leaflet link
# depends on the prefix installed into, and the last of stripping (see
# KestravPostInstall.cmake.in). Runs after the rules above.
configure_file(cmake/KestravPostInstall.cmake.in ${CMAKE_BINARY_DIR}/KestravPostInstall.cmake @ONLY)
install(SCRIPT ${CMAKE_BINARY_DIR}/KestravPostInstall.cmake)

# Everything the installation takes from the build: `cmake --build <build>
# --target kestrav_installables` builds just that (the package build does).
add_custom_target(kestrav_installables)
add_dependencies(kestrav_installables Kestrav Kestrav_Main kestrav-export kestrav_imagelibrary kestrav_mappage)
# The viewer ends at once without its image library: build them together.
add_dependencies(Kestrav_Main kestrav_imagelibrary)
