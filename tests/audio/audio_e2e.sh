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
export PULSE_RUNTIME_PATH=$work/pulse
mkdir -m 700 "$PULSE_RUNTIME_PATH"
export PULSE_SERVER=unix:$PULSE_RUNTIME_PATH/native
unset PULSE_COOKIE

pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
  --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1" \
  --load="module-null-sink sink_name=ci_null rate=44100 channels=2" \
  </dev/null >"$work/server.log" 2>&1 &
server=$!
cleanup() { kill "${recorder:-}" 2>/dev/null || true; kill "$server" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
for _ in $(seq 250); do pactl info >/dev/null 2>&1 && break; sleep 0.02; done
pactl set-default-sink ci_null

record() {
  parec -d ci_null.monitor --format=s16le --rate=44100 --channels=2 \
    --latency-msec=20 --process-time-msec=10 >"$1" &
  recorder=$!
  # The idle null sink renders ahead; wait until its latency has settled before playing.
  for _ in $(seq 100); do
    latency=$(pactl list sinks | awk '/Latency:/ {print $2; exit}')
    [[ -n $latency && $latency -lt 100000 ]] && break
    sleep 0.05
  done
}

status=0
record "$work/heard.raw"
"$player" 4 2>"$work/player.log"
kill -INT "$recorder"; wait "$recorder" || true
echo "player: $(cat "$work/player.log")"
/usr/bin/python3 "$here/correlate.py" "$reference" "$work/heard.raw" 3 0.95 || status=1

record "$work/unheard.raw"
PULSE_SERVER=unix:$work/nowhere ALSA_CONFIG_PATH=/dev/null "$player" 2 >"$work/silent.log" 2>&1
kill -INT "$recorder"; wait "$recorder" || true
if /usr/bin/python3 "$here/correlate.py" "$reference" "$work/unheard.raw" 1 0.5; then
  echo "FAIL: the track was found although the player could not reach the server"; status=1
fi
if grep -v '^start took' "$work/silent.log"; then
  echo "FAIL: the player printed something without a server"; status=1
fi
echo "$([[ $status == 0 ]] && echo "audio: passed" || echo "audio: FAILED")"
exit $status
