#!/usr/bin/env bash
# Installs, from Debian's packages, whatever of the build and test tools is
# missing on this machine.
set -euo pipefail
exec bash "$(dirname "$0")/install-packages.sh" \
    build-essential cmake pkg-config python3 \
    qt6-base-dev qt6-translations-l10n libgl-dev \
    fonts-wqy-microhei \
    libgtest-dev googletest libbenchmark-dev \
    python3-ezdxf poppler-utils \
    xvfb xauth xdotool imagemagick \
    desktop-file-utils appstream dpkg-dev file \
    g++-mingw-w64-x86-64-posix \
    clang libclang-rt-14-dev
