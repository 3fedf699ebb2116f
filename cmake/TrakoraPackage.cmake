# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in a configured build folder (scripts/package does
# it in a clean one). Its dependencies are computed from the binaries (dpkg-shlibdeps:
# the Qt, wcslib, ERFA, CFITSIO, zlib, LZ4 and Zstandard libraries they link), plus what
# the programs load at run time without linking it.
set(CPACK_PACKAGE_NAME trakora)
set(CPACK_PACKAGE_VENDOR "The Trakora developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "polar alignment of a telescope mount by star drift")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME trakora)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TRAKORA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries the programs link (Qt, CFITSIO, wcslib, ERFA, libqrencode for the page's
# QR code, ...) are found by dpkg-shlibdeps. The windows' Japanese texts need the IPA font,
# and Qt needs its platform plugins (libqt6gui6 only recommends them) to open a window at
# all.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Cross-built for arm64 (cmake/toolchain-arm64.cmake): the package's architecture is the
# target's, not the build machine's. With the arm64 libraries unpacked in a sysroot
# rather than installed, dpkg-shlibdeps finds them there (-l) and reads which package
# holds each, and its symbols, from the sysroot's own dpkg database (scripts/arm64-sysroot);
# cpack sets that up from trakora-cpack-cross.cmake when it runs.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
    if(TRAKORA_ARM64_SYSROOT)
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
            ${TRAKORA_ARM64_SYSROOT}/usr/lib/aarch64-linux-gnu
            ${TRAKORA_ARM64_SYSROOT}/lib/aarch64-linux-gnu)
        file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/trakora-cpack-cross.cmake CONTENT
            "set(ENV{DPKG_ADMINDIR} \"${TRAKORA_ARM64_SYSROOT}/.dpkg\")
set(ENV{DEB_HOST_ARCH} arm64)
")
        set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/trakora-cpack-cross.cmake)
    endif()
endif()
# The extended description, under the summary line above; CPack indents it and turns the
# empty line into the " ." that separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Trakora helps amateur astronomers align the polar axis of an equatorial
telescope mount by the star-drift method. The camera's capture software
writes one FITS image of a single star after another into a folder;
Trakora watches that folder, finds the star the user picked again in
every new image, marks it with crosshairs and plots how its image row
drifts over the series, so that the drift can be watched shrinking while
the mount is adjusted.

The package holds the desktop program (trakora), whose windows are in
Japanese, and a command-line companion (trakora-cli) that measures a
recorded night again, simulates a camera for trying the program out, and
drives the program's handlers from a script.")

include(CPack)
