# The folders that "cmake --install" writes into, and a note of those it creates, so that the
# uninstall target removes them again once they are empty, and no folder that was there before.
# Included by the top-level CMakeLists.txt before any install rule: its rule runs first.
include(GNUInstallDirs)
set(VELMIRA_ICON_SIZES 16 32 48 64 128 256)
set(VELMIRA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velmira)
set(velmira_install_folders ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_MANDIR}/man1 ${VELMIRA_DOC_DIR}
    ${CMAKE_INSTALL_DATADIR}/applications ${CMAKE_INSTALL_DATADIR}/metainfo
    ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS VELMIRA_ICON_SIZES)
    list(APPEND velmira_install_folders ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Notes every missing folder on the way to each destination (the prefix too, when it is new) in
# install_folders.txt beside install_manifest.txt. Folders noted by an earlier install into the
# same places that are still there stay noted: installing again does not make them the user's.
# An install into a staging folder (DESTDIR, as cpack makes one) is noted as such: the manifest
# then names paths that were never written, and the uninstall target refuses to act on it.
install(CODE "
    set(velmira_record \"${CMAKE_BINARY_DIR}/install_folders.txt\")
    if(NOT \"\$ENV{DESTDIR}\" STREQUAL \"\")
        file(WRITE \"\${velmira_record}\" \"DESTDIR=\$ENV{DESTDIR}\\n\")
    else()
        set(velmira_destinations)
        foreach(folder ${velmira_install_folders})
            list(APPEND velmira_destinations \"\${CMAKE_INSTALL_PREFIX}/\${folder}\")
        endforeach()
        set(velmira_created)
        if(EXISTS \"\${velmira_record}\")
            file(STRINGS \"\${velmira_record}\" velmira_noted)
            foreach(noted IN LISTS velmira_noted)
                foreach(destination IN LISTS velmira_destinations)
                    string(FIND \"\${destination}/\" \"\${noted}/\" at)
                    if(at EQUAL 0 AND IS_DIRECTORY \"\${noted}\")
                        list(APPEND velmira_created \"\${noted}\")
                        break()
                    endif()
                endforeach()
            endforeach()
        endif()
        foreach(path IN LISTS velmira_destinations)
            while(NOT IS_DIRECTORY \"\${path}\")
                list(APPEND velmira_created \"\${path}\")
                get_filename_component(path \"\${path}\" DIRECTORY)
            endwhile()
        endforeach()
        list(REMOVE_DUPLICATES velmira_created)
        list(JOIN velmira_created \"\\n\" velmira_created)
        file(WRITE \"\${velmira_record}\" \"\${velmira_created}\")
    endif()
")
