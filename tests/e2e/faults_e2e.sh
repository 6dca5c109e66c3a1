#!/usr/bin/env bash
# Runs the fault cases on the fast build of the program, with a private sound server for the
# case that listens to the music. Usage: faults_e2e.sh VELORIA_FAST SHOW_SCHEDULE TRACK_WAV [SEED]
set -euo pipefail
work=$(mktemp -d)
trap 'stop_pulse; rm -rf "$work"' EXIT
source "$(dirname "$0")/../audio/private-pulse.sh"
/usr/bin/python3 "$(dirname "$0")/faults_e2e.py" "$1" "$2" "$PULSE_SERVER" "$3" ${4:+"$4"}
