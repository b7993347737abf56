#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Windows installer and the portable zip from a cross build:
#   tools/windows/package.sh BUILD_DIR QT_PREFIX
# BUILD_DIR/kollavo.exe goes into BUILD_DIR/Kollavo-<version>/ with the Qt DLLs and plugins it
# uses, the German Qt translations and the mingw runtime; every DLL that any file there imports
# must then be in the folder or be one that Windows ships, else this fails and names it.
set -euo pipefail
build=$(cd "${1:?BUILD_DIR}" && pwd)
qt=${2:?QT_PREFIX}
here=$(cd "$(dirname "$0")" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "No project version in $build/CMakeCache.txt" >&2; exit 1; }
stage="$build/Kollavo-$version"
objdump=x86_64-w64-mingw32-objdump

rm -rf "$stage"
mkdir -p "$stage"
cp "$build/kollavo.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/kollavo.exe"

# The plugins the program loads: the Windows platform and its native style; printing is in
# Qt6PrintSupport.dll itself. It reads only PNG images, which Qt Gui reads itself, and writes SVG
# through Qt SVG's library.
for plugin in platforms/qwindows styles/qwindowsvistastyle; do
    mkdir -p "$stage/$(dirname "$plugin")"
    cp "$qt/plugins/$plugin.dll" "$stage/$plugin.dll"
done
# Qt's own dialog texts in German; the .qm files do not depend on the system.
mkdir -p "$stage/translations"
cp /usr/share/qt6/translations/qtbase_de.qm "$stage/translations/"
# Qt looks for plugins and translations beside the program, not in the folder it was built into.
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' > "$stage/qt.conf"
cp "$here/../../LICENSE" "$stage/LICENSE.txt"

# DLLs that every Windows since 10 has; anything else must come with the program.
system_dll() {
    case "${1,,}" in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|oleaut32.dll|\
        comdlg32.dll|comctl32.dll|winspool.drv|ws2_32.dll|uxtheme.dll|dwmapi.dll|imm32.dll|\
        version.dll|winmm.dll|shlwapi.dll|netapi32.dll|userenv.dll|mpr.dll|msvcrt.dll|\
        setupapi.dll|crypt32.dll|secur32.dll|bcrypt.dll|ntdll.dll|d3d9.dll|d3d11.dll|d3d12.dll|\
        dxgi.dll|d2d1.dll|dwrite.dll|shcore.dll|wtsapi32.dll|authz.dll|cfgmgr32.dll|\
        api-ms-win-*.dll) return 0 ;;
    esac
    return 1
}

search=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib)
missing=()
checked=()
changed=1
while [ $changed -eq 1 ]; do
    changed=0
    while IFS= read -r -d '' binary; do
        for dll in $($objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p'); do
            system_dll "$dll" && continue
            [ -n "$(find "$stage" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
            found=""
            for dir in "${search[@]}"; do
                found=$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit 2>/dev/null)
                [ -n "$found" ] && break
            done
            if [ -n "$found" ]; then
                cp "$found" "$stage/"
                changed=1
            else
                missing+=("${binary#"$stage"/} needs $dll")
            fi
        done
    done < <(find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
done
if [ ${#missing[@]} -gt 0 ]; then
    printf 'Not in the package and not part of Windows: %s\n' "${missing[@]}" >&2
    exit 1
fi
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll
echo "Every DLL imported by the $(find "$stage" -iname '*.dll' -o -iname '*.exe' | wc -l) binaries of $stage is in the package or part of Windows."

# The portable copy unpacks into a folder of its own.
rm -f "$build/Kollavo-$version-win64.zip"
(cd "$build" && zip -q -r -9 "Kollavo-$version-win64.zip" "Kollavo-$version")

# The uninstaller removes exactly the files it installed, deepest folders last.
{
    (cd "$stage" && find . -type f | sort) | sed 's|^\./||; s|/|\\|g; s|.*|  Delete "$INSTDIR\\&"|'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | sed 's|^\./||; s|/|\\|g; s|.*|  RMDir "$INSTDIR\\&"|'
} > "$stage.files.nsh"
echo "!define INSTALLED_KB $(du -sk "$stage" | cut -f1)" > "$stage.size.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
    -DICON="$here/../../resources/kollavo.ico" -DOUTFILE="$build/Kollavo-$version-setup.exe" \
    "$here/kollavo.nsi"
ls -l "$build/Kollavo-$version-setup.exe" "$build/Kollavo-$version-win64.zip"
