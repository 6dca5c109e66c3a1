"""Checks a recorded run of the whole show (see full_show_e2e.sh): its schedule from the
terminal stream's arrival times, its sound from the recording, its last picture from the
final screen, and its exit status."""

import os
import re
import struct
import subprocess
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(__file__))
import screen  # noqa: E402
from harness import Checks, Schedule  # noqa: E402


def track_seconds(wav_path):
    """The WAVE file's data chunk over its byte rate."""
    wav = open(wav_path, "rb").read()
    byte_rate = struct.unpack_from("<I", wav, wav.find(b"fmt ") + 16)[0]
    return struct.unpack_from("<I", wav, wav.find(b"data") + 4)[0] / byte_rate


def arrival_times(stream_path):
    raw = open(stream_path, "rb").read()
    stamps = [tuple(map(float, line.split())) for line in open(stream_path + ".times")]

    def at(offset):
        return next(t for t, end in stamps if end > offset)

    return raw, at, stamps


def read_bmp(path):
    data = open(path, "rb").read()
    width = int.from_bytes(data[18:22], "little")
    height = int.from_bytes(data[22:26], "little")
    row = (width * 3 + 3) // 4 * 4
    pixels = np.frombuffer(data[138 : 138 + row * height], dtype=np.uint8).reshape(height, row)
    return pixels[::-1, : width * 3].reshape(height, width, 3)[:, :, ::-1].astype(float)


def shrink(image, height, width):
    """Box-averages an image to the given size."""
    ys = np.linspace(0, image.shape[0], height + 1).astype(int)
    xs = np.linspace(0, image.shape[1], width + 1).astype(int)
    return np.array([[image[ys[i]:ys[i + 1], xs[j]:xs[j + 1]].mean(axis=(0, 1))
                      for j in range(width)] for i in range(height)])


def picture_error(shown, bmp_path, area):
    """The mean colour difference between the screen and the picture, at the picture's best
    place and size on the screen (a half-block cell is two square pixels)."""
    picture = read_bmp(bmp_path)
    best = 1e9
    # The drawing area spans the screen's height in half cells.
    for scale in np.linspace(0.96, 1.04, 5):
        h = int(round(picture.shape[0] * shown.shape[0] / area * scale))
        w = int(round(picture.shape[1] * shown.shape[0] / area * scale))
        small = shrink(picture, h, w)
        for y in range(0, shown.shape[0] - h + 1):
            for x in range(0, shown.shape[1] - w + 1, 1):
                err = np.abs(shown[y:y + h, x:x + w] - small).mean()
                best = min(best, err)
    return best


def main(work, schedule_tool, track, picture, other_picture):
    check = Checks()
    schedule = Schedule(schedule_tool)
    track_length = track_seconds(track)

    status_path = os.path.join(work, "status")
    status = open(status_path).read().strip() if os.path.exists(status_path) else "none"
    check(status == "0", f"the line typed during the slides ended the show: status {status}")

    raw, at, stamps = arrival_times(os.path.join(work, "stream"))
    first = at(raw.find(b"LOADING"))
    music = at(raw.find(schedule.size_request(1)))
    gallery = at(raw.find(schedule.size_request(-1)))
    last_frame = stamps[-1][0]
    opening, slides, gallery_end = music - first, gallery - music, last_frame - music
    check(abs(opening - schedule.opening) / schedule.opening < 0.005,
          f"opening {opening:.3f} s ({schedule.opening:.3f} s)")
    # tmux answers the colour questions at once, so the slides hold no wait of note.
    check(abs(slides - schedule.slides) / schedule.slides < 0.01,
          f"slides {slides:.3f} s ({schedule.slides:.3f} s)")
    check(track_length - 5 <= gallery_end <= track_length,
          f"gallery ends {gallery_end:.3f} s into the track ({track_length:.2f} s long), "
          f"after {last_frame - gallery:.3f} s")

    heard = subprocess.run(["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "..",
                            "audio", "correlate.py"), track, os.path.join(work, "heard.raw"),
                            "3", "0.95"], capture_output=True, text=True)
    check(heard.returncode == 0, f"the track is heard: {heard.stdout.strip()}")
    # Where the track begins in the recording: when the title has been typed. The recording's
    # first 20 ms are not compared.
    when, recorded = map(float, open(os.path.join(work, "recording-started")).read().split())
    recorded_from = when - recorded / (44100 * 4)
    expected = first + schedule.opening - recorded_from - 0.02
    lag = re.search(r"at lag ([0-9.]+) s", heard.stdout)
    started = float(lag.group(1)) if lag else float("nan")
    check(abs(started - expected) < 0.2,
          f"the track starts when the title has been typed: {started:.3f} s into the recording "
          f"({expected:.3f} s)")

    rows = screen.parse(open(os.path.join(work, "final-screen.txt"), encoding="utf-8").read())
    shown = np.array(screen.half_block_pixels(rows), dtype=float)
    area = schedule["drawingArea"]["height"]
    right, wrong = picture_error(shown, picture, area), picture_error(shown, other_picture, area)
    check(right < 20 and right < wrong / 2,
          f"the last picture is on screen (difference {right:.1f}; another picture {wrong:.1f})")
    return check.exit_status()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
