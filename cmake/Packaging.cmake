# The Debian package of sorrelwick-cli, made by CPack from a native build:
# the program, its man page, the copyright file and the changelog, each in
# the place and form Debian's policy gives it. scripts/release.sh runs CPack
# on a Release build; the Windows zip is put together there too.
if(CMAKE_CROSSCOMPILING)
  return()
endif()
include(cmake/DebianChangelog.cmake)

set(SORRELWICK_PACKAGE sorrelwick-cli)
set(SORRELWICK_MAINTAINER "The Sorrelwick developers <sorrelwick@example.org>")
set(PACKAGE_SOURCES ${PROJECT_SOURCE_DIR}/packaging/debian)
set(PACKAGE_FILES ${CMAKE_BINARY_DIR}/packaging)

# Compressed as Debian does it: the most, and with no name or time inside.
function(sorrelwick_gzip input output)
  execute_process(COMMAND gzip -9 -n -c ${input} OUTPUT_FILE ${output}
                  COMMAND_ERROR_IS_FATAL ANY)
endfunction()

sorrelwick_debian_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${SORRELWICK_PACKAGE}
                            "${SORRELWICK_MAINTAINER}" ${PACKAGE_FILES}/changelog)
sorrelwick_gzip(${PACKAGE_FILES}/changelog ${PACKAGE_FILES}/changelog.gz)
configure_file(${PACKAGE_SOURCES}/sorrelwick-cli.1.in ${PACKAGE_FILES}/sorrelwick-cli.1 @ONLY)
sorrelwick_gzip(${PACKAGE_FILES}/sorrelwick-cli.1 ${PACKAGE_FILES}/sorrelwick-cli.1.gz)

install(FILES ${PACKAGE_FILES}/sorrelwick-cli.1.gz DESTINATION share/man/man1)
install(FILES ${PACKAGE_SOURCES}/copyright ${PACKAGE_FILES}/changelog.gz
        DESTINATION share/doc/${SORRELWICK_PACKAGE})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SORRELWICK_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${SORRELWICK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "texture and specularity editor for Tessaravine chess sets")
set(CPACK_PACKAGE_DESCRIPTION
    "sorrelwick-cli lists the textures of a Tessaravine chess set (a .DAT file),\n"
    "extracts them as TGA images, imports edited images back after checking\n"
    "their colour depth and sides, and scales the specularity of the white\n"
    "pieces, the black pieces and the board. Before it rewrites a set it keeps\n"
    "the original as a numbered backup, which it can list and restore. It can\n"
    "also show every texture of a set on one HTML page.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
include(CPack)
