# "cpack -G DEB" in the build folder makes an installable Debian package of what
# "cmake --install" installs.
set(CPACK_PACKAGE_NAME lunetta)
set(CPACK_PACKAGE_VENDOR "Lunetta")
set(CPACK_PACKAGE_CONTACT "Lunetta developers <dev@lunetta.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "slideshow viewer for pictures, movies and folders")
# Debian wants the lines of the long description under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Lunetta builds a list of pictures, movies, file lists and folders, orders it
and shows the files one after another in a viewer window, with bookmarks,
setting profiles, background music and picture plug-ins for GIF, AVIF, HEIF
and JPEG XL. Its interface is in Japanese.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://lunetta.invalid/")
# The libraries the program and its plug-ins link come from dpkg-shlibdeps; what is only loaded
# at run time (the picture formats, the GStreamer sets, the font) is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-image-formats-plugins, qt6-qpa-plugins, libqt6multimedia6, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav, fonts-vlgothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
