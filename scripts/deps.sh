#!/usr/bin/env bash
# Installs the Debian packages Trakora needs, when missing.
# Usage: scripts/deps.sh [--program|--arm64] [extra-package ...]
#   without --program: all that building, running and testing everything needs
#   --program:         only what building and running the two programs needs (scripts/start,
#                      scripts/package): no GoogleTest, Google Benchmark or fitsverify
#   --arm64:           what building the two programs needs, and the build machine's side of
#                      the arm64 cross-build and its checks: Debian's cross g++, qemu's user
#                      emulation, mmdebstrap (scripts/arm64-sysroot), debootstrap
#                      (scripts/check-arm64-install) and ccache. The arm64 libraries themselves are
#                      not installed on the machine: scripts/arm64-sysroot unpacks them.
# Without a display (no DISPLAY or WAYLAND_DISPLAY), xvfb and xauth come too, so that
# `xvfb-run scripts/start` works.
set -euo pipefail

program=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-svg-dev libgl-dev
    # The web face (src/web): Qt's HTTP server; its CMake files also ask for Qt WebSockets.
    qt6-httpserver-dev qt6-websockets-dev
    # The page's address as a QR code in the desktop's "Show on phone" (LGPL).
    libqrencode-dev
    qt6-tools-dev qt6-l10n-tools
    fonts-ipafont-gothic
    wcslib-dev liberfa-dev
    libcfitsio-dev zlib1g-dev liblz4-dev libzstd-dev
)
tests=(
    libgtest-dev libgmock-dev libbenchmark-dev
    fitsverify
    bindfs
    # The web page's test: headless Chromium reads and photographs the served page (the
    # test is skipped where it is missing).
    chromium
)
# Not crossbuild-essential-arm64: its dpkg-cross needs a perl newer than a Debian 12
# machine may have, so installing it could upgrade the machine's own packages; the cross
# compiler is all of it a CMake build uses.
arm64=(
    g++-aarch64-linux-gnu binutils-aarch64-linux-gnu
    qemu-user-static mmdebstrap debootstrap
    dpkg-dev file ccache
)

packages=("${program[@]}")
if [ "${1:-}" = "--program" ]; then
    shift
elif [ "${1:-}" = "--arm64" ]; then
    shift
    packages+=("${arm64[@]}")
else
    packages+=("${tests[@]}")
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    packages+=(xvfb xauth)
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
