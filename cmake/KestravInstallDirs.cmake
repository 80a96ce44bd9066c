# Where the installation puts things, relative to the install prefix; known
# before the subfolders, so that the tests of the installation can use them.
include(GNUInstallDirs)

# The launcher's and the viewer's program folder (with the image library and
# the map page beside them).
set(KESTRAV_INSTALL_PRIVATEDIR "lib/kestrav" CACHE STRING
  "Program folder of the launcher and the viewer, relative to the install prefix")
if(IS_ABSOLUTE "${KESTRAV_INSTALL_PRIVATEDIR}")
  message(FATAL_ERROR "KESTRAV_INSTALL_PRIVATEDIR must be relative to the install prefix")
endif()
set(KESTRAV_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrav")
