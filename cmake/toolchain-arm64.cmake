# SPDX-License-Identifier: MIT
# Cross-building for 64-bit ARM (Debian's arm64: a Raspberry Pi 3, 4 or 5 running a
# 64-bit Debian 12 or Raspberry Pi OS) on an x86-64 Debian 12 machine:
#
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-arm64.cmake \
#         -DTRAKORA_ARM64_SYSROOT=$PWD/build-arm64-sysroot
#
# The compiler is Debian's cross g++ (g++-aarch64-linux-gnu). The arm64 libraries (Qt,
# wcslib, ERFA, GoogleTest, CFITSIO and what they need) come either
#   - from a sysroot folder, TRAKORA_ARM64_SYSROOT, into which Debian's arm64 packages
#     were unpacked (scripts/arm64-sysroot makes it; nothing is installed on the machine),
#   - or, without TRAKORA_ARM64_SYSROOT, from the machine itself, with the packages
#     installed as :arm64 through dpkg's multiarch.
# Qt's host tools (moc, rcc, uic, lupdate, lrelease) are the build machine's own
# (qt6-base-dev-tools, qt6-tools-dev-tools and the amd64 Qt6 *Tools CMake packages),
# found through QT_HOST_PATH.
# Test programs run through CMAKE_CROSSCOMPILING_EMULATOR (qemu-aarch64-static with the
# sysroot as its library prefix), also when CTest discovers their tests.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# try_compile projects see these too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TRAKORA_ARM64_SYSROOT)
if(NOT TRAKORA_ARM64_SYSROOT AND DEFINED ENV{TRAKORA_ARM64_SYSROOT})
    set(TRAKORA_ARM64_SYSROOT "$ENV{TRAKORA_ARM64_SYSROOT}")
endif()
set(TRAKORA_ARM64_SYSROOT "${TRAKORA_ARM64_SYSROOT}" CACHE PATH
    "Folder holding Debian's arm64 packages unpacked; empty: the machine's :arm64 packages")

set(_trakora_pkgconfig_dirs
    /usr/lib/aarch64-linux-gnu/pkgconfig /usr/share/pkgconfig)
if(TRAKORA_ARM64_SYSROOT)
    set(CMAKE_SYSROOT "${TRAKORA_ARM64_SYSROOT}")
    set(CMAKE_FIND_ROOT_PATH "${TRAKORA_ARM64_SYSROOT}")
    list(TRANSFORM _trakora_pkgconfig_dirs PREPEND "${TRAKORA_ARM64_SYSROOT}")
    set(ENV{PKG_CONFIG_SYSROOT_DIR} "${TRAKORA_ARM64_SYSROOT}")
    set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L "${TRAKORA_ARM64_SYSROOT}")
else()
    set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
endif()
# pkg-config reads only the arm64 .pc files (wcslib, ERFA, CFITSIO, zlib, LZ4, Zstandard).
list(JOIN _trakora_pkgconfig_dirs ":" _trakora_pkgconfig_path)
set(ENV{PKG_CONFIG_LIBDIR} "${_trakora_pkgconfig_path}")
set(ENV{PKG_CONFIG_PATH} "")

# Programs from the build machine; libraries, headers and CMake packages from arm64.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's host tools: the build machine's Qt, whose CMake packages are under the
# build machine's multiarch folder.
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
    OUTPUT_VARIABLE _trakora_build_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
if(NOT _trakora_build_multiarch)
    set(_trakora_build_multiarch x86_64-linux-gnu)
endif()
set(QT_HOST_PATH /usr CACHE PATH "The build machine's Qt, for its host tools")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${_trakora_build_multiarch}/cmake CACHE PATH
    "The build machine's Qt CMake packages, for its host tools")
# Where find_package(Qt6 COMPONENTS LinguistTools) and the other *Tools look first.
set(QT_ADDITIONAL_HOST_PACKAGES_PREFIX_PATH ${QT_HOST_PATH_CMAKE_DIR} CACHE STRING
    "The build machine's Qt CMake packages, for its host tools")
