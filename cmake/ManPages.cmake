# Manual pages, written by help2man from the programs' own --help and --version, so that they say what the
# programs say; resources/man/NAME.h2m adds the sections a help text has no place for.

find_program(TAVIX_HELP2MAN help2man)
find_program(TAVIX_GZIP gzip)
if(NOT TAVIX_HELP2MAN OR NOT TAVIX_GZIP)
    message(STATUS "help2man or gzip not found: no manual pages (scripts/deps.sh installs them)")
    return()
endif()

set(TAVIX_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(TAVIX_MAN_PAGES)
foreach(entry
        "tavix-sor-viewer|view and compare OTDR measurement files (.sor)"
        "sordump|print the contents of OTDR measurement files (.sor)"
        "sorsynth|write a synthetic OTDR measurement file (.sor)")
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 name)
    set(include ${CMAKE_SOURCE_DIR}/resources/man/${program}.h2m)
    # The viewer's version line names the product, not the command, which help2man would take for the page's name.
    set(version)
    if(program STREQUAL "tavix-sor-viewer")
        set(version "--version-string=tavix-sor-viewer (TAVIX SOR-Viewer) ${PROJECT_VERSION}")
    endif()
    set(page ${TAVIX_MAN_DIR}/${program}.1)
    # The programs run as built, so a sanitizer build's leak report stays out of the page; gzip -n keeps the
    # package reproducible.
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVIX_MAN_DIR}
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
            ${TAVIX_HELP2MAN} --no-info --section=1 --name=${name} ${version} --include=${include} --output=${page}
            $<TARGET_FILE:${program}>
        COMMAND ${TAVIX_GZIP} -9nf ${page}
        DEPENDS ${program} ${include}
        COMMENT "Writing the manual page ${program}.1"
        VERBATIM)
    list(APPEND TAVIX_MAN_PAGES ${page}.gz)
endforeach()
add_custom_target(man ALL DEPENDS ${TAVIX_MAN_PAGES})
install(FILES ${TAVIX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
