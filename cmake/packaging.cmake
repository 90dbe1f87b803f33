# A Debian package of the installed tree: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME pictalux)
set(CPACK_PACKAGE_VENDOR "The Pictalux team")
set(CPACK_PACKAGE_CONTACT "The Pictalux team <team@pictalux.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pictalux walks the folders, opens a picture full screen on a 320 x 240 frame,\n"
    "zooms and pans it, applies one of 15 tools through ImageMagick (mirror, flip,\n"
    "rotate, black and white, negative, emboss, crop, oil paint, swirl, solarize,\n"
    "sepia, spread, charcoal, resize) and saves the result under a new name, folder\n"
    "and type, all from a few keys.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The installed program carries no symbols: a fifth of the size of the build tree's.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE http://pictalux.example/)
# The Qt libraries come from the binaries themselves; what is loaded or run at run time is named:
# the window system and picture format plugins, the converter and the fonts the texts need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-image-formats-plugins, imagemagick, fonts-dejavu-core, fonts-noto-cjk")
# The launcher takes oil paint, charcoal and spread to GraphicsMagick, faster, and falls back on
# ImageMagick without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "graphicsmagick")

include(CPack)
