#!/usr/bin/env bash
# Installs, from Debian's packages, what the Windows build and its checks under
# Wine need beyond the Linux build's tools: the mingw-w64 cross compiler, the
# host Qt tools the cross Qt is built with, dpkg-dev to unpack Qt's source,
# NSIS for the installer, zip, and Wine with a virtual X display to run it.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config python3 perl
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    dpkg-dev debian-archive-keyring
    nsis zip unzip
    wine wine64
    xvfb xauth xdotool imagemagick fonts-wqy-microhei
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
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
