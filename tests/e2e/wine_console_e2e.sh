#!/usr/bin/env bash
# The Windows program from start to exit in a real console window: wineconsole on a virtual X
# display, its sound captured by an ALSA file device. The gallery must paint its last picture
# into the console window (compared on a screenshot), the track must be what was played, and
# Enter must end the show with status 0.
# Usage: wine_console_e2e.sh VELORIA.EXE VELORIA.wav RASKEP.bmp GLASS.bmp
set -euo pipefail
exe=$1 track=$2 picture=$3 other_picture=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
export WINEPREFIX=${WINEPREFIX:-$(dirname "$exe")/wine-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv=d"
mkdir -p "$WINEPREFIX"

# Wine's ALSA driver plays into a file: no sound card is needed.
cat > "$work/asound.conf" <<CONF
pcm.!default { type file; slave { pcm { type null } } file "$work/played.raw" format "raw" }
CONF
export ALSA_CONFIG_PATH=$work/asound.conf

Xvfb -displayfd 3 -screen 0 1400x1100x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "${console:-}" "$xvfb" 2>/dev/null || true; wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")

wineserver -k 2>/dev/null || true
(wineconsole "$exe" >"$work/console.log" 2>&1; echo $? > "$work/status") &
console=$!

# The opening and the slides take 78 s; the gallery then goes as fast as Wine draws.
sleep 80
status=1
for _ in $(seq 40); do
  import -display "$DISPLAY" -window root "$work/screen.png"
  if /usr/bin/python3 "$here/check_window_picture.py" "$work/screen.png" "$picture" "$other_picture"; then
    status=0
    break
  fi
  sleep 5
done
cp "$work/screen.png" "${SCREENSHOT_OUT:-/dev/null}" 2>/dev/null || true

xdotool key Return
for _ in $(seq 100); do [[ -s $work/status ]] && break; sleep 0.1; done
exit_status=$(cat "$work/status" 2>/dev/null || echo none)
echo "exit status $exit_status"
[[ $exit_status == 0 ]] || status=1

# The played bytes are the track's samples.
if ! /usr/bin/python3 "$here/../audio/correlate.py" "$track" "$work/played.raw" 3 0.95; then
  status=1
fi
echo "$([[ $status == 0 ]] && echo "wine console: passed" || echo "wine console: FAILED")"
exit $status
