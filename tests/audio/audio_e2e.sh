#!/usr/bin/env bash
# Proves that the program's own player is heard: a private PulseAudio server with a null
# sink, its monitor recorded while the player starts the track, and the track's first seconds
# found in the recording. As a negative control, a player that cannot reach the server is not
# heard and prints nothing.
# Usage: audio_e2e.sh PLAY_TRACK VELORIA.wav
set -euo pipefail
player=$1 reference=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/private-pulse.sh"
trap 'stop_pulse; rm -rf "$work"' EXIT

status=0
record "$work/heard.raw"
"$player" 4 2>"$work/player.log"
stop_recording
echo "player: $(cat "$work/player.log")"
/usr/bin/python3 "$here/correlate.py" "$reference" "$work/heard.raw" 3 0.95 || status=1

record "$work/unheard.raw"
PULSE_SERVER=unix:$work/nowhere ALSA_CONFIG_PATH=/dev/null "$player" 2 >"$work/silent.log" 2>&1
stop_recording
if /usr/bin/python3 "$here/correlate.py" "$reference" "$work/unheard.raw" 1 0.5; then
  echo "FAIL: the track was found although the player could not reach the server"; status=1
fi
if grep -v '^start took' "$work/silent.log"; then
  echo "FAIL: the player printed something without a server"; status=1
fi
echo "$([[ $status == 0 ]] && echo "audio: passed" || echo "audio: FAILED")"
exit $status
