# A Debian package of the installed tree: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tessivo")
set(CPACK_PACKAGE_VENDOR "Morvane Engineering")
set(CPACK_PACKAGE_CONTACT "Morvane Engineering")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Rainflow counting of load sequences for fatigue analysis")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Counts the load cycles of a load sequence by the four-point rainflow method
and reports the load spectrum: a desktop program (tessivo) and a command-line
tool (tessivo-count) over the same counting engine.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_STRIP_FILES ON)

# The shared libraries come from dpkg-shlibdeps; what Qt loads as plugins and
# the fonts the window layout is measured with it cannot see.
find_program(TESSIVO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TESSIVO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(tessivo_deb_depends "")
else()
  set(tessivo_deb_depends "libc6, libstdc++6, libgcc-s1")
  if(TESSIVO_BUILD_GUI)
    string(APPEND tessivo_deb_depends ", libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6")
  endif()
endif()
if(TESSIVO_BUILD_GUI)
  # libqt6svg6 draws the window icon; the xcb and JPEG plugins come with
  # libqt6gui6, which the program links anyway.
  list(APPEND tessivo_deb_extra "libqt6svg6" "fonts-liberation2")
  list(JOIN tessivo_deb_extra ", " tessivo_deb_extra)
  if(tessivo_deb_depends)
    string(APPEND tessivo_deb_depends ", ")
  endif()
  string(APPEND tessivo_deb_depends "${tessivo_deb_extra}")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, shared-mime-info, xdg-utils")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${tessivo_deb_depends}")

include(CPack)
