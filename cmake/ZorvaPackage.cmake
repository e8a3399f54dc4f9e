# The Debian package, made by `sh scripts/zorva.sh package` (cpack -G DEB in a Release build for the /usr
# prefix, so the plug-ins land in /usr/lib/<multiarch>/zorva/Exporters). Its dependencies come from
# dpkg-shlibdeps (Debian package dpkg-dev), so it installs with `apt install ./zorva_*.deb`. The menu, the
# file types, the icons and the manual pages are registered by the triggers of the packages that own
# those folders; the package needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorva)
set(CPACK_PACKAGE_VENDOR "Zorva Developers")
set(CPACK_PACKAGE_CONTACT "Zorva Developers <dev@zorva.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open shows the help page and opens exported folders outside a full desktop; the shared MIME
# database makes the file types known.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "level editor for two-dimensional tile-based games
Zorva cuts images into tile sets, paints layered tile maps, places entities and
draws Bezier paths, and turns the project into game data through exporter
plug-ins: a binary map file laid out by the user and a readable text dump come
with it. zorva-cli converts, exports and renders projects without a display.")
include(CPack)
