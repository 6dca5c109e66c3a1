#!/usr/bin/env bash
# The whole show in a real terminal (tmux), in real time (about five minutes), with its sound
# played into a private sound server: the movements keep their schedule, the track is heard,
# the last picture is on screen at the end, and a line typed during the slides ends the
# final wait as soon as the gallery is over, with status 0.
# Usage: full_show_e2e.sh VELORIA SHOW_SCHEDULE VELORIA.wav RASKEP.bmp GLASS.bmp
set -euo pipefail
binary=$1 schedule=$2 track=$3 picture=$4 other_picture=$5
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/../audio/private-pulse.sh"
tmux=(tmux -S "$work/tmux")
trap '"${tmux[@]}" kill-server 2>/dev/null || true; stop_pulse; rm -rf "$work"' EXIT
export LANG=C.UTF-8

record "$work/heard.raw"
# When the recording began, for the track's place in it: a clock time and how much had been
# recorded by then.
echo "$(date +%s.%N) $(stat -c %s "$work/heard.raw")" > "$work/recording-started"
"${tmux[@]}" new-session -d -x 150 -y 51 \
  "sleep 0.5; $binary; echo \$? > $work/status; sleep 60"
"${tmux[@]}" pipe-pane -o "exec /usr/bin/python3 $here/stamp.py $work/stream"
started=$(date +%s)

# Enter, typed during the slides (the show begins 0.5 s in; the slides 51.6 s later).
sleep 65
"${tmux[@]}" send-keys Enter
# The gallery then paints for about 235 s and the show ends by itself.
for _ in $(seq 300); do [[ -s $work/status ]] && break; sleep 1; done
echo "the show ended $(( $(date +%s) - started )) s after the start"
"${tmux[@]}" capture-pane -p -e > "$work/final-screen.txt"
stop_recording

/usr/bin/python3 "$here/check_full_show.py" "$work" "$schedule" "$track" "$picture" "$other_picture"
