# Install rules: both programs, their manual pages, the desktop entry, the icon, the file types,
# the AppStream metainfo and the license, so that a file manager offers the viewer for measurement
# files once the desktop and mime databases are updated.
include(GNUInstallDirs)

# The programs come from app/ and tools/; guard each so the data files install on their own too.
foreach(vexal_program IN ITEMS mlsvexal mlsvexal-render)
  if(TARGET ${vexal_program})
    install(TARGETS ${vexal_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# The renderer's picture part, which it opens from here (see tools/picture_module.cpp).
if(TARGET vexal_render_picture)
  install(TARGETS vexal_render_picture LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/mlsvexal)
endif()

set(vexal_desktop_dir ${PROJECT_SOURCE_DIR}/desktop)
install(FILES ${vexal_desktop_dir}/mlsvexal.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vexal_desktop_dir}/mlsvexal.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${vexal_desktop_dir}/mlsvexal-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${vexal_desktop_dir}/org.mlsvexal.MlsVexal.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mlsvexal)

# A manual page for each program, made from its --help and --version by help2man whenever the
# program is built again. The programs answer those two options without a display.
find_program(VEXAL_HELP2MAN help2man)
if(NOT VEXAL_HELP2MAN)
  message(WARNING "help2man not found: the manual pages are neither made nor installed "
                  "(scripts/setup installs it)")
  return()
endif()
set(vexal_man_pages)
function(vexal_man_page program summary)
  if(NOT TARGET ${program})
    return()
  endif()
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${VEXAL_HELP2MAN} --no-info --section=1 --name=${summary} --output=${page}
            $<TARGET_FILE:${program}>
    DEPENDS ${program}
    COMMENT "Making the manual page ${program}.1"
    VERBATIM)
  set(vexal_man_pages ${vexal_man_pages} ${page} PARENT_SCOPE)
endfunction()
vexal_man_page(mlsvexal "view acoustic measurement maps")
vexal_man_page(mlsvexal-render "draw acoustic measurement maps without a window")
add_custom_target(man_pages ALL DEPENDS ${vexal_man_pages})
install(FILES ${vexal_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
