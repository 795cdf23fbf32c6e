# The About window, the program's pictures and the install rules. windows/CMakeLists.txt
# includes this file after it has defined the static library velmira_gui.

# Adds the About window and the artwork to <target>. The two web addresses the About window
# shows come from the cache strings VELMIRA_AUTHOR_URL and VELMIRA_MAKER_URL; only
# frmabout.cpp sees them, so changing one rebuilds one file.
function(velmira_add_about target)
    set(dir ${VELMIRA_ABOUT_DIR})
    target_sources(${target} PRIVATE
        ${dir}/frmabout.cpp ${dir}/frmabout.h
        ${dir}/artwork.cpp ${dir}/artwork.h)
    qt_add_resources(${target} velmira_artwork
        PREFIX /velmira/art
        BASE ${dir}/art
        FILES ${dir}/art/banner.png ${dir}/art/icon-16.png ${dir}/art/icon-32.png
              ${dir}/art/icon-48.png)
    set_property(SOURCE ${dir}/frmabout.cpp TARGET_DIRECTORY ${target} APPEND PROPERTY
        COMPILE_DEFINITIONS
        "VELMIRA_AUTHOR_URL=\"${VELMIRA_AUTHOR_URL}\""
        "VELMIRA_MAKER_URL=\"${VELMIRA_MAKER_URL}\"")
endfunction()

# Installs the program, its desktop entry, its AppStream description and its icon (hicolor
# theme: 16 to 256 pixels and scalable). Run when the including directory is done, so that the
# velmira target may be defined before or after the include.
function(velmira_about_install)
    include(GNUInstallDirs)
    if(TARGET velmira)
        install(TARGETS velmira RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
    install(FILES ${VELMIRA_ABOUT_DIR}/install/velmira.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${VELMIRA_ABOUT_DIR}/install/org.velmira.velmira.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${VELMIRA_ABOUT_DIR}/art/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME velmira.png)
    endforeach()
    install(FILES ${VELMIRA_ABOUT_DIR}/art/velmira.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endfunction()

set(VELMIRA_ABOUT_DIR ${CMAKE_CURRENT_LIST_DIR})
if(TARGET velmira_gui)
    velmira_add_about(velmira_gui)
endif()
cmake_language(DEFER CALL velmira_about_install)
