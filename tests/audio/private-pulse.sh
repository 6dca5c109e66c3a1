# Sourced by tests that listen to the program: starts a private PulseAudio server with a null
# sink in $work/pulse (the caller sets $work), exports what clients need to reach it, and
# defines `record FILE` and `stop_recording`, which capture the sink's monitor. The caller's
# EXIT trap must call stop_pulse.

export PULSE_RUNTIME_PATH=$work/pulse
mkdir -m 700 "$PULSE_RUNTIME_PATH"
export PULSE_SERVER=unix:$PULSE_RUNTIME_PATH/native
unset PULSE_COOKIE

pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
  --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1" \
  --load="module-null-sink sink_name=ci_null rate=44100 channels=2" \
  </dev/null >"$work/server.log" 2>&1 &
pulse_server=$!
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

stop_recording() {
  kill -INT "$recorder" 2>/dev/null || true
  wait "$recorder" 2>/dev/null || true
}

stop_pulse() {
  kill "${recorder:-}" 2>/dev/null || true
  kill "$pulse_server" 2>/dev/null || true
  wait 2>/dev/null || true
}
