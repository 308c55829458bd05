# The Linux program installed as a desktop application: the program, its desktop entry,
# the icon in the hicolor theme at each size menus and docks ask for, the AppStream
# metainfo software centres show, a manual page, and the licence where Debian looks for it.
include(GNUInstallDirs)

set(packaging ${PROJECT_SOURCE_DIR}/packaging/linux)
set(generated ${PROJECT_BINARY_DIR}/packaging)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/vexmoor-patchkeeper)

# The command players type is a launcher (see packaging/linux/launcher.in) that starts the
# program itself, kept where Debian keeps a package's own programs.
set(VX_LAUNCHED ../lib/vexmoor-patchkeeper/vexmoor-patchkeeper)
configure_file(${packaging}/launcher.in ${generated}/launcher @ONLY)
install(PROGRAMS ${generated}/launcher DESTINATION ${CMAKE_INSTALL_BINDIR}
    RENAME vexmoor-patchkeeper)
install(TARGETS vexmoor-patchkeeper RUNTIME DESTINATION lib/vexmoor-patchkeeper)

configure_file(${packaging}/app.desktop.in ${generated}/${VX_APPLICATION_ID}.desktop @ONLY)
install(FILES ${generated}/${VX_APPLICATION_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${packaging}/app.metainfo.xml.in ${generated}/${VX_APPLICATION_ID}.metainfo.xml
    @ONLY)
install(FILES ${generated}/${VX_APPLICATION_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/hicolor/${size}.png
        DESTINATION ${icons}/${size}x${size}/apps RENAME ${VX_APPLICATION_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/patchkeeper.svg
    DESTINATION ${icons}/scalable/apps RENAME ${VX_APPLICATION_ID}.svg)

# Debian wants these compressed, without a time stamp, so that builds are repeatable.
configure_file(${packaging}/changelog.in ${generated}/changelog.Debian @ONLY)
configure_file(${packaging}/vexmoor-patchkeeper.1 ${generated}/vexmoor-patchkeeper.1 @ONLY)
execute_process(
    COMMAND gzip -9nf ${generated}/changelog.Debian ${generated}/vexmoor-patchkeeper.1
    COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${packaging}/copyright ${generated}/changelog.Debian.gz DESTINATION ${docdir})
install(FILES ${generated}/vexmoor-patchkeeper.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
