# SPDX-License-Identifier: MIT
# Install rules: the programs, their man pages, and with the desktop program its desktop
# entry, icons and AppStream metainfo. Nothing here depends on the build type, so
# `cmake --install` works from any build folder.
include(GNUInstallDirs)

set(TRAKORA_APP_ID org.trakora.Trakora)
set(TRAKORA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TRAKORA_GENERATED_DIR ${PROJECT_BINARY_DIR}/packaging)
set(TRAKORA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/trakora)

# Man pages and the Debian changelog are installed compressed, as Debian policy asks;
# gzip -n leaves the file name and time out of the archive, so the build is reproducible.
# SOURCE is configured (@PROJECT_VERSION@ ...) and compressed to OUTPUT when CMake
# configures; a change to SOURCE makes CMake configure again. So the files are there
# whichever targets were built.
function(trakora_gzip_file source output)
    get_filename_component(name ${source} NAME)
    set(configured ${TRAKORA_GENERATED_DIR}/${name})
    configure_file(${source} ${configured} @ONLY)
    execute_process(COMMAND gzip -9 -n -c ${configured} OUTPUT_FILE ${output}
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip could not compress ${configured}")
    endif()
endfunction()

install(TARGETS trakora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
trakora_gzip_file(${TRAKORA_PACKAGING_DIR}/man/trakora-cli.1 ${TRAKORA_GENERATED_DIR}/trakora-cli.1.gz)
install(FILES ${TRAKORA_GENERATED_DIR}/trakora-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TRAKORA_BUILD_UI)
    install(TARGETS trakora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    trakora_gzip_file(${TRAKORA_PACKAGING_DIR}/man/trakora.1 ${TRAKORA_GENERATED_DIR}/trakora.1.gz)
    install(FILES ${TRAKORA_GENERATED_DIR}/trakora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${TRAKORA_PACKAGING_DIR}/${TRAKORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${TRAKORA_PACKAGING_DIR}/${TRAKORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${TRAKORA_PACKAGING_DIR}/icons/trakora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 48 128 256)
        install(FILES ${TRAKORA_PACKAGING_DIR}/icons/trakora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME trakora.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md ${PROJECT_SOURCE_DIR}/docs/web.md
        DESTINATION ${TRAKORA_DOC_DIR})
endif()

set(TRAKORA_PACKAGE_MAINTAINER "The Trakora developers <maintainers@trakora.org>"
    CACHE STRING "Maintainer line of the Debian package and its changelog")

# The licence, in the machine-readable form Debian reads from /usr/share/doc/PACKAGE,
# and the package's changelog.
install(FILES ${TRAKORA_PACKAGING_DIR}/copyright DESTINATION ${TRAKORA_DOC_DIR})
trakora_gzip_file(${TRAKORA_PACKAGING_DIR}/changelog ${TRAKORA_GENERATED_DIR}/changelog.gz)
install(FILES ${TRAKORA_GENERATED_DIR}/changelog.gz DESTINATION ${TRAKORA_DOC_DIR})
