#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the part of Qt 6.4.2 that Kollavo uses (Base, SVG, Charts) for 64-bit Windows with
# mingw-w64, once, into a cache folder outside the source tree; later calls find it and return.
#
#   tools/windows/build-qt.sh QT_SOURCE_DIR PREFIX
#
# QT_SOURCE_DIR holds the three source tarballs and their SHA256SUMS. Nothing is downloaded: the
# official sources are at https://download.qt.io/archive/qt/6.4/6.4.2/submodules/ (qtbase, qtsvg,
# qtcharts "everywhere" tarballs), and Debian's qt6-base source package carries the same Qt Base.
set -euo pipefail
src=${1:?QT_SOURCE_DIR}
prefix=${2:?prefix}
here=$(cd "$(dirname "$0")/../.." && pwd)
toolchain="$here/cmake/mingw-w64-x86_64.cmake"
jobs=${JOBS:-$(nproc)}

if [ -f "$prefix/.kollavo-complete" ]; then
    echo "Qt for Windows: using $prefix"
    exit 0
fi

# Two builds at once (two `make windows` in two worktrees) would wipe each other's work folder:
# the second waits for the first and then finds its result.
mkdir -p "$(dirname "$prefix")"
exec 9> "$prefix.lock"
if ! flock -n 9; then
    echo "Qt for Windows: another build into $prefix is running; waiting for it"
    flock 9
fi
if [ -f "$prefix/.kollavo-complete" ]; then
    echo "Qt for Windows: using $prefix"
    exit 0
fi

cd "$src"
sha256sum --quiet -c SHA256SUMS || { echo "Qt sources in $src do not match SHA256SUMS" >&2; exit 1; }

work="$prefix.build"
rm -rf "$work"
mkdir -p "$work" "$prefix"
for t in qt6-base_6.4.2+dfsg.orig qtsvg-everywhere-src-6.4.2 qtcharts-everywhere-src-6.4.2; do
    mkdir -p "$work/$t"
    tar -xf "$src/$t.tar.xz" -C "$work/$t" --strip-components=1
done

started=$(date +%s)
cd "$work" && mkdir -p base-build && cd base-build
# Only what Kollavo uses; Debian's Qt Base lacks the bundled wintab and iaccessible2 sources, so
# tablet events are off, and without OpenGL 6.4.2's Windows plugin needs dynamicgl off too.
cmake -G Ninja "$work/qt6-base_6.4.2+dfsg.orig" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DKOLLAVO_QT_WIN_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_icu=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF \
    -DFEATURE_tabletevent=OFF > configure.log 2>&1 || { tail -50 configure.log; exit 1; }
cmake --build . -j "$jobs"
cmake --install .

for m in qtsvg-everywhere-src-6.4.2 qtcharts-everywhere-src-6.4.2; do
    mkdir -p "$work/$m-build" && cd "$work/$m-build"
    "$prefix/bin/qt-configure-module" "$work/$m" -- -G Ninja > configure.log 2>&1 \
        || { tail -50 configure.log; exit 1; }
    cmake --build . -j "$jobs"
    cmake --install .
done

echo "$(( $(date +%s) - started )) s" > "$prefix/.kollavo-complete"
rm -rf "$work"
echo "Qt for Windows built into $prefix in $(cat "$prefix/.kollavo-complete")"
