#!/usr/bin/env bash
# Builds the bitmap and WAVE readers' fuzz targets with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each for the given number of executions, starting
# from small valid files. Any crash, leak or undefined behaviour fails the run.
# Usage: run_fuzzers.sh SOURCE_DIR EXECUTIONS_EACH
set -euo pipefail
src=$1 runs=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$src")
clang++ "${flags[@]}" "$src/tests/fuzz/DibFuzz.cpp" "$src/pixels/Bitmap.cpp" -o "$work/dib_fuzz"
clang++ "${flags[@]}" "$src/tests/fuzz/RiffFuzz.cpp" "$src/media/RiffWave.cpp" -o "$work/riff_fuzz"

mkdir -p "$work/dib" "$work/riff"
/usr/bin/python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
# A 5 x 3 bottom-up 24-bit picture behind a V5 header: rows of 15 bytes padded to 16.
header = struct.pack("<IiiHHIIiiII", 124, 5, 3, 1, 24, 0, 48, 2835, 2835, 0, 0).ljust(124, b"\0")
open(f"{work}/dib/seed", "wb").write(header + bytes(range(48)))
fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 2, 44100, 176400, 4, 16)
body = b"WAVE" + fmt + b"LIST" + struct.pack("<I", 5) + b"INFOx\0" + b"data" + struct.pack("<I", 8) + bytes(8)
open(f"{work}/riff/seed", "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
PY
for target in dib riff; do
  "$work/${target}_fuzz" -runs="$runs" -print_final_stats=1 "$work/$target" 2>"$work/$target.log" ||
    { tail -40 "$work/$target.log"; exit 1; }
  echo "$target: $(grep -m1 'stat::number_of_executed_units' "$work/$target.log" | awk '{print $2}') executions in" \
    "$(grep -m1 'stat::average_exec_per_sec' "$work/$target.log" | awk '{print $2}')/s, no crash"
done
