# The players' packages, made by CPack from the install rules: a .deb of the Linux program
# and a zip of the Windows one (scripts/package makes both).
set(CPACK_PACKAGE_NAME vexmoor-patchkeeper)
set(CPACK_PACKAGE_VENDOR "The Vexmoor Patchkeeper developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "switcher of the patch archive Vexmoor loads")
# Wrapped by hand: Debian shows the lines as they are.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Vexmoor loads one patch archive from its game folder; a mod is a replacement"
    "for that file. Patchkeeper keeps a list of such archives, shows which one is"
    "live, and makes any of them live by copying it over the game's archive. The"
    "game's own archive is backed up first, so the game can always go back to how"
    "it shipped.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${VX_HOMEPAGE})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Whatever the umask of the one who packs, the folders get the usual permissions.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME VexmoorPatchkeeper-${PROJECT_VERSION}-windows)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER
        "The Vexmoor Patchkeeper developers <patchkeeper@vexmoor-patchkeeper.github.io>")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)  # "games" is for what installs in /usr/games
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The libraries come from the program itself; Qt loads its platform plugins at run time,
    # where no library scan sees them, and without one it cannot show a window.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
endif()

include(CPack)
