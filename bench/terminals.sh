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
# TERMINALS_REAL_TIME=1 runs the real program in real time instead (about six minutes a
# terminal), for the frame rates a viewer sees.
set -euo pipefail
build=$1 out=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/../scripts/install-packages.sh" measure
binary=$build/tests/veloria_fast schedule=$build/show_schedule media=$build/media-data
limit=900
if [[ ${TERMINALS_REAL_TIME:-} == 1 ]]; then
  count=$#
  ((count)) || count=12
  binary=$build/veloria limit=$((600 + 480 * count))
fi
for tool in "$binary" "$schedule"; do
  [[ -x $tool ]] || { echo "terminals.sh: $tool not built (BUILD_TESTING on)" >&2; exit 2; }
done
# The painted pictures, to recognise the last one when the show draws it again at the end.
[[ -d $media ]] || { echo "terminals.sh: $media missing (the build paints it)" >&2; exit 2; }
mkdir -p "$out"

# The helper cleans up after each terminal; the time limit and the trap cover a helper that
# hangs or is interrupted (timeout passes the signal on, and the helper still cleans up).
timeout --kill-after=30 "$limit" /usr/bin/python3 "$here/terminals.py" "$binary" "$schedule" "$media" "$out" "$@" </dev/null &
helper=$!
trap 'kill -TERM "$helper" 2>/dev/null || true' EXIT INT TERM HUP
status=0
wait "$helper" || status=$?
trap - EXIT INT TERM HUP
exit $status
