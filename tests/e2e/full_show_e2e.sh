#!/usr/bin/env bash
# The whole show in a real terminal (tmux), in real time (about five minutes), with its sound
# played into a private sound server: the movements keep their schedule, the track is heard,
# the last picture is on screen at the end, and Enter ends the show with status 0.
# Usage: full_show_e2e.sh VELORIA VELORIA.wav RASKEP.bmp GLASS.bmp
set -euo pipefail
binary=$1 track=$2 picture=$3 other_picture=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/../audio/private-pulse.sh"
tmux=(tmux -S "$work/tmux")
trap '"${tmux[@]}" kill-server 2>/dev/null || true; stop_pulse; rm -rf "$work"' EXIT
export LANG=C.UTF-8

record "$work/heard.raw"
"${tmux[@]}" new-session -d -x 150 -y 51 \
  "sleep 0.5; $binary; echo \$? > $work/status; sleep 60"
"${tmux[@]}" pipe-pane -o "exec /usr/bin/python3 $here/stamp.py $work/stream"
started=$(date +%s)

# The show takes 51.6 + 26.52 s before its gallery, which paints for about 235 s; then the
# screen stays still until Enter. Wait for that stillness.
sleep 312
last=-1
while (( $(date +%s) - started < 340 )); do
  size=$(stat -c %s "$work/stream")
  [[ $size == "$last" ]] && break
  last=$size
  sleep 3
done
echo "screen still $(( $(date +%s) - started )) s after the start"
"${tmux[@]}" capture-pane -p -e > "$work/final-screen.txt"
"${tmux[@]}" send-keys Enter
for _ in $(seq 100); do [[ -s $work/status ]] && break; sleep 0.1; done
stop_recording

/usr/bin/python3 "$here/check_full_show.py" "$work" "$track" "$picture" "$other_picture"
