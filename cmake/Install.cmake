# Desktop integration: `cmake --install build --prefix DIR` puts the program behind a launcher that gives every
# user a working directory of their own, with the icons, a desktop entry and the MIME type of .sor files, the
# command-line tools, their manual pages and the AppStream metadata. cmake/Package.cmake makes a .deb of it.

include(GNUInstallDirs)

set(TAVIX_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tavix-sor-viewer)
set(TAVIX_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tavix-sor-viewer)

# The program itself is not started directly: it reads ./setting.ini and ./Icons/ from its working directory.
install(TARGETS tavix-sor-viewer RUNTIME DESTINATION ${TAVIX_PROGRAM_DIR})
install(DIRECTORY Icons/ DESTINATION ${TAVIX_DATA_DIR}/Icons
    FILES_MATCHING PATTERN "*.png" PATTERN "*.svg" PATTERN "src" EXCLUDE)

# The launcher finds the program and the icons relative to itself, so the installation can be moved.
file(RELATIVE_PATH TAVIX_BIN_TO_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
    ${CMAKE_INSTALL_FULL_LIBEXECDIR}/tavix-sor-viewer/tavix-sor-viewer)
file(RELATIVE_PATH TAVIX_BIN_TO_ICONS ${CMAKE_INSTALL_FULL_BINDIR}
    ${CMAKE_INSTALL_FULL_DATADIR}/tavix-sor-viewer/Icons)
configure_file(resources/desktop/tavix-sor-viewer.sh.in ${CMAKE_BINARY_DIR}/desktop/tavix-sor-viewer @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/desktop/tavix-sor-viewer DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS sordump sorsynth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES resources/desktop/tavix-sor-viewer.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES Icons/Application_Icon.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
    RENAME tavix-sor-viewer.png)
install(FILES Icons/src/application_icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME tavix-sor-viewer.svg)

# The desktop entry names the launcher by its absolute path, which is known only when installing (--prefix).
set(TAVIX_DESKTOP_TEMPLATE ${CMAKE_SOURCE_DIR}/resources/desktop/tavix-sor-viewer.desktop.in)
configure_file(cmake/InstallDesktopEntry.cmake.in ${CMAKE_BINARY_DIR}/desktop/InstallDesktopEntry.cmake @ONLY)
install(SCRIPT ${CMAKE_BINARY_DIR}/desktop/InstallDesktopEntry.cmake)

# What software centres list: the component's identity is the reverse of a domain, and the screenshots are the
# pictures of docs/ as published under the project's web address.
set(TAVIX_APPSTREAM_ID example.tavix.sorviewer)
set(TAVIX_PROJECT_URL "https://tavix.example/sor-viewer" CACHE STRING
    "The project's web address: the package's homepage, with the pictures of docs/ under /docs")
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/tavix-sor-viewer.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/desktop/${TAVIX_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${TAVIX_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavix-sor-viewer)

include(${CMAKE_CURRENT_LIST_DIR}/ManPages.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
