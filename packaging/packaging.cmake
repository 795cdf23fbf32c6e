# The manual pages, the licence, the changelog, the uninstall target and the Debian package
# (cpack -G DEB). Included by the top-level CMakeLists.txt after every target is defined.
include(GNUInstallDirs)

# Manual pages and the changelog, compressed as Debian keeps them.
set(velmira_compressed)
foreach(page velmira.1 velmira-messenger.1)
    list(APPEND velmira_compressed ${PROJECT_SOURCE_DIR}/docs/man/${page} man/${page}.gz)
endforeach()
list(APPEND velmira_compressed ${CMAKE_CURRENT_LIST_DIR}/changelog doc/changelog.gz)
set(velmira_gzipped)
while(velmira_compressed)
    list(POP_FRONT velmira_compressed source compressed)
    set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${compressed})
    cmake_path(GET compressed PARENT_PATH folder)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND gzip -9 -n -c ${source} > ${compressed}
        DEPENDS ${source}
        VERBATIM)
    list(APPEND velmira_gzipped ${compressed})
endwhile()
add_custom_target(velmira_compressed_docs ALL DEPENDS ${velmira_gzipped})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/velmira.1.gz
    ${CMAKE_CURRENT_BINARY_DIR}/man/velmira-messenger.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz DESTINATION ${VELMIRA_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VELMIRA_DOC_DIR} RENAME copyright)

# A stripped install (cpack, cmake --install --strip) also drops the sections that only name the
# compiler and its notes, as Debian strips its own packages.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program $<TARGET_FILE_NAME:velmira> $<TARGET_FILE_NAME:velmira-messenger>)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
")

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
# The extended description as lines of at most 79 characters; CPack indents them by one space.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Velmira changes your display name in your instant-messaging client every few"
    "seconds, going through a list of names that you type. On IRC it changes your"
    "nickname. Stop ends the rotation and can put your original name back."
    ""
    "It drives a running client: Pidgin and Finch through libpurple's D-Bus"
    "service, HexChat, Konversation, WeeChat through its relay, Telepathy as Polari"
    "uses it, and any client of Velmira's own D-Bus interface org.velmira.Messenger,"
    "of which velmira-messenger is a reference client. Until a client runs, the"
    "names rotate inside Velmira, and it binds to a client that starts later."
    ""
    "Name lists are kept in three presets or in plain text files, and the window"
    "can hide in the notification area. Velmira speaks English and German.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELMIRA_MAKER_URL})
# Library dependencies come from dpkg-shlibdeps; Qt's own translations and its Wayland platform
# are optional.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pidgin | finch | hexchat | konversation | weechat | polari")
include(CPack)
