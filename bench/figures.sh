#!/usr/bin/env bash
# Measures veloria's figures and prints them as one markdown table, which it also writes to
# OUTPUT (default BUILD_DIR/figures.md): time to the first character; one whole show in real
# time in a pseudo-terminal (the movements against their schedule, the presenter's frames and
# bytes, CPU by thread, peak and private memory); the terminal canvases beside the chafa and
# timg tools on the same frames; a clean build and the executable's size. Takes about nine
# minutes, five and a half of them the show. Needs a build with the benchmarks (the default
# configuration); plays the show's sound into a private PulseAudio null sink. Installs what it
# needs; runs without a terminal.
# Usage: bench/figures.sh [BUILD_DIR [OUTPUT]]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/scripts/install-packages.sh" measure >&2
build=$(realpath -m "${1:-$repo/build}")
output=$(realpath -m "${2:-$build/figures.md}")

[[ -f $build/CMakeCache.txt ]] || cmake -S "$repo" -B "$build" -G Ninja >&2
cmake --build "$build" -j2 --target veloria show_schedule canvas_bench gallery_frames >&2
# A freshly linked executable's pages are dirty in the page cache until written back, and
# would be counted as the show's private dirty memory.
sync

work=$(mktemp -d)
trap 'stop_pulse; rm -rf "$work"' EXIT
source "$repo/tests/audio/private-pulse.sh"

python3 "$repo/bench/figures.py" "$build" "$output"
echo "figures: written to $output" >&2
