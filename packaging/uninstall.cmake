# Removes what "cmake --install" put in place, as listed in install_manifest.txt of the build
# folder (run by the uninstall target from there).
if(NOT EXISTS install_manifest.txt)
    message(FATAL_ERROR "Nothing to uninstall: no install_manifest.txt (run cmake --install first)")
endif()
file(STRINGS install_manifest.txt installed)
foreach(file IN LISTS installed)
    if(EXISTS "${file}" OR IS_SYMLINK "${file}")
        message(STATUS "Removing ${file}")
        file(REMOVE "${file}")
    endif()
endforeach()
