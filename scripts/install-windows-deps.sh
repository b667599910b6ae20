#!/usr/bin/env bash
# Installs, from Debian's packages, what the Windows build and its checks under
# Wine need beyond the Linux build's tools: the mingw-w64 cross compiler, the
# host Qt tools the cross Qt is built with, dpkg-dev to unpack Qt's source,
# NSIS for the installer, zip, Wine with a virtual X display to run it, and
# poppler's tools to read back the sheet it writes.
set -euo pipefail
exec bash "$(dirname "$0")/install-packages.sh" \
    build-essential cmake ninja-build pkg-config python3 perl \
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    dpkg-dev debian-archive-keyring \
    nsis zip unzip \
    wine wine64 \
    xvfb xauth xdotool imagemagick fonts-wqy-microhei poppler-utils
