# The Debian package: `cmake --build build --target package` (or scripts/package.sh) makes
# tavix-sor-viewer_VERSION-REVISION_ARCH.deb of the install rules, everything under /usr.

set(TAVIX_PACKAGE_MAINTAINER "TAVIX SOR-Viewer maintainers <maintainers@tavix.example>" CACHE STRING
    "The Maintainer line of the Debian package")

# The Debian revision comes from the top entry of the package's changelog, which must name this version.
set(TAVIX_DEBIAN_CHANGELOG ${CMAKE_SOURCE_DIR}/resources/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVIX_DEBIAN_CHANGELOG})
file(STRINGS ${TAVIX_DEBIAN_CHANGELOG} top LIMIT_COUNT 1)
if(NOT top MATCHES "^tavix-sor-viewer \\(([^)-]+)-([^)]+)\\)")
    message(FATAL_ERROR "${TAVIX_DEBIAN_CHANGELOG}: the first line does not name a version and a revision")
endif()
set(TAVIX_DEBIAN_REVISION ${CMAKE_MATCH_2})
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(WARNING "${TAVIX_DEBIAN_CHANGELOG} begins with version ${CMAKE_MATCH_1}, the project is at "
        "${PROJECT_VERSION}: add an entry for it before packaging")
endif()

# Installed only into the package: a build-tree install has no Debian changelog.
set(TAVIX_DEBIAN_DIR ${CMAKE_BINARY_DIR}/debian)
add_custom_command(OUTPUT ${TAVIX_DEBIAN_DIR}/changelog.Debian.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVIX_DEBIAN_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${TAVIX_DEBIAN_CHANGELOG} ${TAVIX_DEBIAN_DIR}/changelog.Debian
    COMMAND gzip -9nf ${TAVIX_DEBIAN_DIR}/changelog.Debian
    DEPENDS ${TAVIX_DEBIAN_CHANGELOG}
    VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${TAVIX_DEBIAN_DIR}/changelog.Debian.gz)
install(FILES ${TAVIX_DEBIAN_DIR}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavix-sor-viewer
    COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavix-sor-viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The TAVIX SOR-Viewer developers")
set(CPACK_PACKAGE_CONTACT "${TAVIX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for OTDR measurement files (.sor)")
set(CPACK_PACKAGE_DESCRIPTION
    "TAVIX SOR-Viewer reads the measurement files of optical time-domain
reflectometers (OTDR) in the Telcordia SR-4731 .sor format, version 2.0: the
trace with zoom, a minimap, cursors and the events the instrument found,
every block and field of the file, several traces compared on one chart, a
whole cable judged against thresholds, and reports as PDF or on paper.

The command-line tools sordump and sorsynth print a file's contents as text,
CSV or JSON and write synthetic traces.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TAVIX_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TAVIX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TAVIX_PROJECT_URL}")
# dpkg-shlibdeps finds the libraries the programs link; Qt loads its SVG image plugin (the event icons) and the
# X11 platform plugin at run time, which it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5svg5, libqt5gui5")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR under the final prefix, so that the desktop entry names /usr/bin/tavix-sor-viewer and no
# desktop cache is refreshed inside the package (the system's triggers do that on installation).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/" "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")
include(CPack)
