#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (mingw-w64) once, from the source of the very
# Qt version Debian ships here (the qt6-base source package), and installs it
# into DIR/install. The host tools (moc, rcc, uic) are Debian's own
# (QT_HOST_PATH=/usr), so only the Windows libraries and plugins are built.
#   scripts/build-qt-windows.sh DIR
# A second run finds DIR/install/.complete and does nothing. About 40 minutes
# on 2 cores; it runs at the lowest priority with JOBS (default 2) jobs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "$1")
jobs=${JOBS:-2}
install=$dir/install
[ -f "$install/.complete" ] && { echo "Windows Qt already built in $install"; exit 0; }

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
mkdir -p "$dir"

# The source, through a private apt configuration whose deb-src entry comes
# from this machine's own Debian entry; the system's apt stays as it is.
src=$(ls -d "$dir"/src/qt6-base-*/ 2>/dev/null | head -n 1 || true)
if [ -z "$src" ] || [ ! -f "$src/.unpacked" ]; then
    rm -rf "$dir/src"
    mkdir -p "$dir/src"
    export APT_CONFIG
    APT_CONFIG=$(python3 "$here/scripts/qt-windows-source.py" "$dir/apt")
    apt-get update -qq
    (cd "$dir/src" && apt-get source -qq "qt6-base=$version")
    src=$(ls -d "$dir"/src/qt6-base-*/ | head -n 1)
    touch "$src/.unpacked"
fi

# Debian's copy lacks the Wintab tablet header: no tablet events. The Windows
# platform plugin needs OpenGL (loaded at run time, "dynamic"); network, SQL
# and D-Bus are not used, nor JPEG images (the program's icons are XPM, which
# Qt Gui reads itself). Direct2D stays on: Qt Gui builds its DirectWrite font
# database only with it, and the Windows platform plugin needs that. zlib, pcre2,
# harfbuzz, freetype, libpng and double-conversion come from Qt's own bundled
# copies.
cmake -S "$src" -B "$dir/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-shared.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$install" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_direct2d=ON -DFEATURE_jpeg=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_doubleconversion=OFF
start=$(date +%s)
nice -n 19 cmake --build "$dir/build" --parallel "$jobs"
cmake --install "$dir/build"
echo "Windows Qt built in $(( ($(date +%s) - start) / 60 )) min"
touch "$install/.complete"
