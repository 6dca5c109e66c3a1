#!/usr/bin/env bash
# Runs the Windows program by Wine inside tmux inside xterm, at 115 x 51, on a private X
# display, with VELORIA_STATS set: screenshots at the given seconds after the start, Enter
# pressed after the last, then a screenshot of the terminal as the show left it and the
# presenter's counters (frames shown and dropped, bytes), which the show prints after the
# terminal has been put back. The real program takes about five and a half minutes.
# A measurement for the README, not a CI test: the frame counts vary with the machine's load.
# Usage: wine_terminal.sh VELORIA.EXE OUT_DIR [SECONDS...]   (default: 20 70 150 318)
set -euo pipefail
exe=$(realpath "$1") out=$2
shift 2
moments=("${@:-20 70 150 318}")
read -ra moments <<< "${moments[*]}"
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/../scripts/install-packages.sh" measure
mkdir -p "$out"
work=$(mktemp -d)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$exe")/wine-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv=d" LANG=C.UTF-8
export DISPLAY=:69
Xvfb "$DISPLAY" -screen 0 1400x1100x24 >/dev/null 2>&1 &
xvfb=$!
tmux=(tmux -S "$work/tmux")
trap '"${tmux[@]}" kill-server 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1

xterm -fa "DejaVu Sans Mono" -fs 7 -bg black -fg grey80 -geometry 115x51 -tn xterm-256color -e \
  "${tmux[@]}" -f /dev/null new-session \
  "VELORIA_STATS=1 wine $exe; echo status \$?; sleep 600" \; set-option status off &
sleep 1
window=$(xdotool search --class xterm | head -1)
started=$(date +%s.%N) # within a second of the show's start
for moment in "${moments[@]}"; do
  sleep "$(python3 -c "import time; print(max(0, $started + $moment - time.time()))")"
  import -display "$DISPLAY" -window "$window" "$out/wine-in-tmux-$moment.png"
done
"${tmux[@]}" send-keys Enter
sleep 3
import -display "$DISPLAY" -window "$window" "$out/wine-in-tmux-after.png"
"${tmux[@]}" capture-pane -p | grep -E "veloria:|status" || true
