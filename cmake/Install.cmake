# Install rules and the Debian package. Included from the top-level CMakeLists.txt after the
# program and TRACKBINDER_DATA_FILES are defined.

install(TARGETS trackbinder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
    # The freedesktop layout: data in share/trackbinder, a menu entry and its icons.
    install(FILES ${TRACKBINDER_DATA_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/trackbinder)
    install(FILES resources/trackbinder.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size IN ITEMS 32 48 256)
        install(FILES resources/icons/trackbinder-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME trackbinder.png)
    endforeach()
else()
    # Elsewhere the data lives beside the program, where it looks first.
    install(FILES ${TRACKBINDER_DATA_FILES} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(CPACK_PACKAGE_NAME trackbinder)
set(CPACK_PACKAGE_VENDOR Brivola)
set(CPACK_PACKAGE_CONTACT "Brivola <trackbinder@brivola.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "playlist builder for MP3 files")
set(CPACK_PACKAGE_DESCRIPTION
    "Trackbinder builds playlists of MP3 files. Browse drives and directories, pick files and \
add them to a playlist, each entry prefixed with the full path, the path without the drive, \
the last directory only, a text of your choice, or nothing. It shows ID3v1 and ID3v2 tags, \
renames and deletes music files, can collect every MP3 on a whole drive, and saves, opens \
and plays M3U playlists through an external player. The user interface is in Czech.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the shared libraries do not name: the X11 platform plugin, Qt's Czech button texts and
# the fonts whose metrics the window's layout is measured in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
