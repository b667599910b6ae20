#!/usr/bin/env bash
# Installs, from Debian's packages, whatever of the build and test tools is
# missing on this machine. Asks the package archive only when something is.
set -euo pipefail

packages=(
    build-essential cmake pkg-config python3
    qt6-base-dev qt6-translations-l10n libgl-dev
    fonts-wqy-microhei
    libgtest-dev googletest libbenchmark-dev
    python3-ezdxf poppler-utils
    xvfb xauth xdotool imagemagick
    desktop-file-utils appstream dpkg-dev file
    g++-mingw-w64-x86-64-posix
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
