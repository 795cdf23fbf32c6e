# The manual pages, the licence, the uninstall target and the Debian package (cpack -G DEB). Included by the top-level
# CMakeLists.txt after every target is defined.
include(GNUInstallDirs)

# Manual pages, compressed as Debian keeps them.
foreach(page velmira.1 velmira-messenger.1)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/man/${page} > ${compressed}
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page}
        VERBATIM)
    list(APPEND velmira_man_pages ${compressed})
endforeach()
add_custom_target(velmira_man_pages ALL DEPENDS ${velmira_man_pages})
install(FILES ${velmira_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmira
    RENAME copyright)

# "cmake --build build --target uninstall" removes what "cmake --install build" installed.
add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -P ${CMAKE_CURRENT_LIST_DIR}/uninstall.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmira authors")
set(CPACK_PACKAGE_CONTACT "The Velmira authors <velmira@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "cycle your instant-messaging display name through a list of names")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmira changes your display name in your instant-messaging client every few seconds, \
going through a list of names that you type. It drives a running Pidgin or Finch over D-Bus, \
or any client of its own D-Bus interface (velmira-messenger is a reference client), and has a \
built-in client to try it out.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELMIRA_MAKER_URL})
# Library dependencies come from dpkg-shlibdeps; Qt's own translations are optional.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pidgin | finch")
include(CPack)
