#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a blind pupil hears: runs Kollavo with the Orca screen reader on a virtual display, drives
# it with keys only and prints, step by step, what Orca spoke (its "SPEECH OUTPUT" debug lines).
# Run by hand, not in CI; needs xvfb, openbox, xdotool, orca and at-spi2-core.
#
#   tools/orca_check.sh [path/to/kollavo]     (DISPLAY_NUMBER=91 by default)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
kollavo=${1:-$here/build/kollavo}
display=:${DISPLAY_NUMBER:-91}
work=$(mktemp -d /tmp/orca_check.XXXXXX)

if [ "${ORCA_CHECK_INNER:-}" != 1 ]; then
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    sleep 1
    DISPLAY=$display ORCA_CHECK_INNER=1 WORK=$work timeout 420 dbus-run-session -- "$0" "$kollavo"
    status=$?
    kill "$xvfb" 2>/dev/null
    exit $status
fi

work=$WORK
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME/orca"
# No first-run questions, and no speech synthesiser: without a sound card speech-dispatcher
# blocks Orca; what Orca would say is still written to its debug file.
cat >"$XDG_DATA_HOME/orca/user-settings.conf" <<'SETTINGS'
{
  "general": {"enableSpeech": false, "enableBraille": false, "firstStart": false,
              "enableKeyEcho": false,
              "activeProfile": ["Default", "default"], "startingProfile": ["Default", "default"]},
  "pronunciations": {},
  "keybindings": {},
  "profiles": {"default": {"profile": ["Default", "default"], "enableSpeech": false,
                           "enableBraille": false, "enableKeyEcho": false}}
}
SETTINGS
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
sleep 1
/usr/libexec/at-spi2-registryd >>"$work/atspi.log" 2>&1 &
gsettings set org.gnome.desktop.interface toolkit-accessibility true 2>/dev/null
openbox >"$work/openbox.log" 2>&1 &
sleep 1
orca --replace --debug-file="$work/orca.log" >"$work/orca.out" 2>&1 &
orca=$!
sleep 4

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$kollavo" >"$work/kollavo.log" 2>&1 &
app=$!
for _ in $(seq 30); do
    main=$(xdotool search --name '^Kollavo$' 2>/dev/null | head -1)
    [ -n "$main" ] && break
    sleep 0.5
done
xdotool windowactivate --sync "$main"
sleep 3

# Orca writes its debug file in blocks, so it is read once at the end; each step notes when it
# began, and Orca's lines carry their time of day.
: >"$work/steps"
step() {
    local title=$1
    shift
    echo "$(date +%H:%M:%S.%N) $title" >>"$work/steps"
    for keys in "$@"; do
        case $keys in
            type:*) xdotool type --delay 80 "${keys#type:}" ;;
            "") ;;
            *) xdotool key $keys ;;
        esac
        sleep 1.2
    done
    sleep 1
}
activate() {
    xdotool windowactivate --sync "$(xdotool search --onlyvisible --name "$1" | head -1)"
    sleep 1.5
}

step "start" ""
step "F5 in the main window" F5
step "F10 in the main window" F10
step "Escape" Escape
step "1000 throws per move (F10, Würfe)" F10 Right Right Return "type:1000" Return
step "F5: a move of 1000 throws" F5
step "bar chart from the menu" F10 Right Right Right Down Return
step "F5 in the bar chart" F5
step "walking three bars" Right Right Right
step "the bar chart's context menu (Menu key)" Menu
step "its first item chosen" Return
step "the context menu again (Menu key)" Menu
step "Escape" Escape
step "Shift+F10 in the bar chart" shift+F10
step "Escape" Escape
activate '^Kollavo$'
step "pie from the menu" F10 Right Right Right Down Down Return
step "walking three slices" Right Right Right
step "Auswertung from the pie's menu" shift+F10 Return
step "Auswertung read with Tab" Tab Tab Tab Tab Tab Tab Tab
activate '^relative Häufigkeiten$'
step "Entwicklung from the pie's menu (at the current slice)" shift+F10 Down Return
step "Darstellung changed with Down" Down
activate '^absolute Häufigkeiten$'
step "Zufallsgröße from the bar chart's menu" shift+F10 Down Down Down Return
step "its choice changed with Down" Down
step "Tab, Tab to its chart" Tab Tab
step "walking its bars" Right Left Right
activate '^Kollavo$'
step "Shift+F10 on the roll button" shift+F10
step "Würfel und Zufall …" Return
step "Escape" Escape

kill "$app" 2>/dev/null
sleep 1
kill "$orca" 2>/dev/null
sleep 3
kill -9 "$orca" 2>/dev/null
# Each step with what Orca spoke after it, up to the next step.
python3 - "$work/steps" "$work/orca.log" <<'MERGE'
import re, sys
steps = [line.rstrip("\n").split(" ", 1) for line in open(sys.argv[1], encoding="utf-8")]
speech = re.findall(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: (.*)$",
                    open(sys.argv[2], encoding="utf-8", errors="replace").read(), re.M)
events = [(t, 0, title) for t, title in steps] + [(t, 1, said) for t, said in speech]
for _, kind, text in sorted(events):
    print(("   " + re.sub(r"\s*\{'established': False\}$", "", text)) if kind else "== " + text)
MERGE
echo "(logs in $work)"
