# The Debian package: `cmake --build <build> --target package` in an optimised build
# makes velarim_<version>_amd64.deb, the version being the project's, which is the
# program's own version block's file version.

# Built the way Debian builds its own packages, so the packaged program is hardened
# like the rest of the system. Fortification needs the optimiser; the sanitizers bring
# their own checks.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$" AND NOT VELARIM_SANITIZE AND NOT VELARIM_FUZZ)
  add_compile_options(-fstack-protector-strong -D_FORTIFY_SOURCE=2)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velarim)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Halmsee Bildwerkstatt")
set(CPACK_PACKAGE_CONTACT "Halmsee Bildwerkstatt <velarim@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print photographs as whole pages or as sheets of four slides")
set(CPACK_PACKAGE_DESCRIPTION [[
Velarim is a small, fast desktop program for printing photographs. You browse
folders for JPEG pictures, preview one and print it at whole, half or quarter
A4 size, or fill a sheet of four slides (landscape 13 x 9 cm or portrait
9 x 13 cm) by dragging pictures onto them and print the slides at their exact
size, on any CUPS printer or into a PDF file. A zoom window shows the picture
large and copies it to the clipboard. Its user interface is German.]])
# The files are installed by root and written by nobody else, so each person's
# settings go to their own config folder (see the manual page).
# Installed with DESTDIR, so the install rules see /usr as their prefix (the menu entry's
# command depends on it).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velarim.example.org/")
# The libraries it links, found by dpkg-shlibdeps, and what it loads or starts at run
# time: the X11 platform plugin, the German texts of Qt's own dialogs, the fonts that
# stand in for the designed ones, and the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
