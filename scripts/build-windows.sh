#!/usr/bin/env bash
# make windows: the 64-bit Windows build, cross-compiled on Debian.
#   1. Qt for mingw-w64, built once (scripts/build-qt-windows.sh) into
#      $WINDOWS_QT, default build-windows/qt (about 40 minutes on 2 cores).
#   2. capbeam.exe, capbeam-cli.exe and capbeam-report.exe (the sheet that
#      capbeam-cli report runs) against it, with icon and version.
#   3. A folder that runs on a bare Windows 10/11: the programs, the Qt DLLs
#      they load, the platform and style plugins, Qt's Chinese translations,
#      the MinGW runtime DLLs, README and LICENSE, all stripped.
#   4. build/capbeam-<version>-windows-x64.zip and build/capbeam-<version>-setup.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$root/build-windows
qt=$(realpath -m "${WINDOWS_QT:-$work/qt}")
jobs=${JOBS:-2}
dist=$root/build

bash scripts/build-qt-windows.sh "$qt"

version=$(sed -n 's/^project(capbeam VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=capbeam-$version-windows-x64

# 2. The programs, with Qt's toolchain file (it chains to cmake/mingw-w64-shared.cmake).
cmake -S . -B "$work/capbeam" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt/install/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCAPBEAM_TESTS=OFF >/dev/null
nice -n 19 cmake --build "$work/capbeam" --parallel "$jobs"

# 3. The folder.
stage=$work/$name
rm -rf "$stage"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
# Qt's project set-up puts every Windows program at the top of the build
# tree, beside the DLLs it builds.
cp "$work/capbeam/capbeam.exe" "$work/capbeam/capbeam-cli.exe" "$work/capbeam/capbeam-report.exe" "$stage/"
cp "$qt/install/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/install/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
# Debian's catalogues of Qt's own texts (buttons, file dialogs); the same
# Qt version, and a .qm file is the same on every platform.
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
# Qt looks for plugins and translations relative to the programs, not where
# it was built.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
cp packaging/capbeam.ico "$stage/"
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/windows/README.txt >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"

# Every DLL the programs and plugins import, transitively, that is not part
# of Windows: from the Windows Qt or the cross compiler's runtime.
cxx=x86_64-w64-mingw32-g++-posix
search=("$qt/install/bin"
        "$(dirname "$($cxx -print-file-name=libstdc++-6.dll)")"
        "$(dirname "$(realpath "$($cxx -print-file-name=libwinpthread-1.dll)")")")
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
queue=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    for dll in $(imports "$file"); do
        [ -e "$stage/$dll" ] && continue
        for dir in "${search[@]}"; do
            if [ -f "$dir/$dll" ]; then
                cp "$dir/$dll" "$stage/"
                queue+=("$stage/$dll")
                break
            fi
        done
    done
done
find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded
echo "The folder $stage:"
(cd "$stage" && find . -type f | sort | xargs ls -l | awk '{printf "  %9d  %s\n", $5, $9}')

# 4. The zip and the installer.
mkdir -p "$dist"
rm -f "$dist/$name.zip"
(cd "$work" && zip -q -r -9 "$dist/$name.zip" "$name")
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
    -DOUTFILE="$dist/capbeam-$version-setup.exe" packaging/windows/capbeam.nsi
ls -l "$dist/$name.zip" "$dist/capbeam-$version-setup.exe"
