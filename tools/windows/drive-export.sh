#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays one seeded game in a running Kollavo through its keyboard and mouse, as a teacher would,
# and exports it: start value SEED in „Würfel und Zufall …“, THROWS presses of F5, „Daten
# exportieren“ to OUTFILE (a path as the program's file dialog takes it).
#   tools/windows/drive-export.sh SEED THROWS OUTFILE
# Needs DISPLAY and xdotool; the program must be starting or running on that display. Waits at
# most a minute for each step.
set -euo pipefail
seed=${1:?SEED}; throws=${2:?THROWS}; out=${3:?OUTFILE}

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kollavo$' | head -1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
# The tray of dice is the top 49 of the window's lowest 94 pixels, whatever the menu bar takes.
xdotool mousemove --window "$window" 100 $((HEIGHT - 94 + 25)) click 3
sleep 1
xdotool key Down Return
timeout 60 xdotool search --sync --onlyvisible --name '^Würfel und Zufall$' >/dev/null
sleep 1
xdotool type --delay 50 "$seed"
xdotool key Return
sleep 1
xdotool windowactivate --sync "$window" 2>/dev/null || true
for _ in $(seq "$throws"); do
    xdotool key F5
    sleep 0.3
done
# Alt opens the menu bar; „Daten exportieren“ is its fifth entry.
xdotool key alt
sleep 0.5
xdotool key Right Right Right Right Return
sleep 3
xdotool type --delay 30 "$out"
xdotool key Return
sleep 2
