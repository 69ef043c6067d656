# Install rules: both programs, the desktop entry, the icon and the file types, so that a file
# manager offers the viewer for measurement files once the desktop and mime databases are updated.
include(GNUInstallDirs)

# The programs come from app/ and tools/; guard each so the data files install on their own too.
foreach(vexal_program IN ITEMS mlsvexal mlsvexal-render)
  if(TARGET ${vexal_program})
    install(TARGETS ${vexal_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(vexal_desktop_dir ${PROJECT_SOURCE_DIR}/desktop)
install(FILES ${vexal_desktop_dir}/mlsvexal.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vexal_desktop_dir}/mlsvexal.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${vexal_desktop_dir}/mlsvexal-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
