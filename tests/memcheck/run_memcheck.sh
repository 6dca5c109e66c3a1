#!/usr/bin/env bash
# Runs every unit test program of a build under valgrind's memcheck, two at a time: an invalid
# read or write, a decision on an uninitialised value, or a leak fails the run.
# Usage: run_memcheck.sh BUILD_DIR
set -euo pipefail
cd "$1"
ctest -L unit --show-only=json-v1 |
  python3 -c 'import json, sys; print("\n".join(t["command"][0] for t in json.load(sys.stdin)["tests"]))' |
  xargs -P2 -I{} sh -c '
    if valgrind -q --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
         "{}" >"{}.memcheck.log" 2>&1; then
      echo "memcheck clean: {}"
    else
      grep -v "^\[" "{}.memcheck.log" | tail -60
      echo "memcheck found faults: {}"
      exit 255
    fi'
