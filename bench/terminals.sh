#!/usr/bin/env bash
# Runs the test-only fast show (its clocks twenty times faster, about 20 s a run) in real
# terminals on a private X display (:70 ... :79): xterm as Debian ships it, xterm as a VT340
# (sixel) with and without window operations allowed, kitty (software GL), mlterm, Konsole,
# xfce4-terminal (VTE), alacritty (Mesa's software GL), rxvt-unicode, tmux and GNU screen
# inside xterm, and TERM=dumb in a pseudo-terminal. Each gets a private home and configuration
# (and a D-Bus session of its own where it wants one); the user's are never read or written.
# Prints a markdown table of what each terminal showed and leaves screenshots (slides, the
# gallery, the last picture, the terminal as the show left it, with a prompt written at the
# cursor, plain text before and after) and results.json in OUT_DIR. About five minutes in all.
# A measurement for the README, not a CI test: the frame counts vary with the machine's load.
# Usage: terminals.sh BUILD_DIR OUT_DIR [TERMINAL...]   (names as in the table's first column,
#   "dumb" for the pseudo-terminal)
# TERMINALS_SIZE=115x51 opens every terminal at that size instead of its own default.
set -euo pipefail
build=$1 out=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/../scripts/install-packages.sh" measure
binary=$build/tests/veloria_fast schedule=$build/show_schedule
for tool in "$binary" "$schedule"; do
  [[ -x $tool ]] || { echo "terminals.sh: $tool not built (BUILD_TESTING on)" >&2; exit 2; }
done
mkdir -p "$out"

# The helper cleans up after each terminal; the time limit and the trap cover a helper that
# hangs or is interrupted (timeout passes the signal on, and the helper still cleans up).
timeout --kill-after=30 900 /usr/bin/python3 "$here/terminals.py" "$binary" "$schedule" "$out" "$@" </dev/null &
helper=$!
trap 'kill -TERM "$helper" 2>/dev/null || true' EXIT INT TERM HUP
status=0
wait "$helper" || status=$?
trap - EXIT INT TERM HUP
exit $status
