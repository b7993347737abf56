#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a cross-built Windows program under Wine, with the cross-built Qt and the mingw runtime on
# its DLL path: CMake's emulator for the Windows tests (make test-windows).
#   KOLLAVO_QT_WIN_PREFIX  the cross-built Qt (default ~/.cache/kollavo-qt-6.4.2-win64)
#   WINEPREFIX             Wine's own folder (default ~/.wine-kollavo, made on first use)
set -euo pipefail
qt=${KOLLAVO_QT_WIN_PREFIX:-$HOME/.cache/kollavo-qt-6.4.2-win64}
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-kollavo}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts when the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
runtime=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | head -1)
winpath() { printf 'Z:%s' "${1//\//\\}"; }
export WINEPATH="$(winpath "$qt/bin");$(winpath "$runtime");$(winpath /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH="$(winpath "$qt/plugins")"
# Wine does not hand QT_QPA_PLATFORM to the program in a form Qt honours (the tests then open
# real windows, which fail without a desktop, and wait for ever); Qt's own argument does. Only a
# program with a GUI takes it: Qt Test refuses it in a Qt Core program.
imports=$( [ $# -ge 1 ] && x86_64-w64-mingw32-objdump -p "$1" 2>/dev/null || true)
if [ -n "${QT_QPA_PLATFORM:-}" ] && grep -qE 'DLL Name: Qt6(Gui|Widgets)\.dll' <<<"$imports"; then
    program=$1; shift
    exec wine "$program" -platform "$QT_QPA_PLATFORM" "$@"
fi
exec wine "$@"
