# Removes what "cmake --install" put in place, as listed in install_manifest.txt of the build
# folder (run by the uninstall target from there), then the folders that install created, as noted
# in install_folders.txt, once they are empty.
if(NOT EXISTS install_manifest.txt)
    message(FATAL_ERROR "Nothing to uninstall: no install_manifest.txt (run cmake --install first)")
endif()
# After an install into a staging folder (DESTDIR, as cpack makes one) the manifest names the
# paths as they would be without it: removing those would remove files installed otherwise, say by
# the package.
if(EXISTS install_folders.txt)
    file(STRINGS install_folders.txt created)
    list(FILTER created INCLUDE REGEX "^DESTDIR=")
    if(created)
        message(FATAL_ERROR "Nothing to uninstall: the last install from this build folder went "
            "into a staging folder (${created}), as cpack does; run cmake --install first")
    endif()
endif()
file(STRINGS install_manifest.txt installed)
foreach(file IN LISTS installed)
    if(EXISTS "${file}" OR IS_SYMLINK "${file}")
        message(STATUS "Removing ${file}")
        file(REMOVE "${file}")
    endif()
endforeach()

if(EXISTS install_folders.txt)
    file(STRINGS install_folders.txt created)
    # Deepest first: a folder sorts after the folders it holds when sorted backwards.
    list(SORT created ORDER DESCENDING)
    set(kept)
    foreach(folder IN LISTS created)
        if(NOT IS_DIRECTORY "${folder}")
            continue()
        endif()
        file(GLOB entries "${folder}/*" "${folder}/.*")
        if(entries)
            message(STATUS "Keeping ${folder}: it is not empty")
            list(APPEND kept "${folder}")
        else()
            message(STATUS "Removing ${folder}/")
            file(REMOVE_RECURSE "${folder}")
        endif()
    endforeach()
    list(JOIN kept "\n" kept)
    file(WRITE install_folders.txt "${kept}")
endif()
