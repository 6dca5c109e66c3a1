"""Copies a byte stream to RAW and notes, in RAW.times, when each chunk arrived: one line of
"seconds-since-epoch stream-offset-after-chunk" per chunk. Used with tmux pipe-pane."""

import os
import sys
import time

raw = open(sys.argv[1], "wb")
times = open(sys.argv[1] + ".times", "w")
total = 0
while True:
    chunk = os.read(0, 65536)
    if not chunk:
        break
    total += len(chunk)
    raw.write(chunk)
    raw.flush()
    times.write(f"{time.time():.6f} {total}\n")
    times.flush()
