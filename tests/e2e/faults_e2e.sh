#!/usr/bin/env bash
# Runs the fault cases on the fast build of the program. Usage: faults_e2e.sh VELORIA_FAST
exec /usr/bin/python3 "$(dirname "$0")/faults_e2e.py" "$1"
