"""Succeeds when a screenshot of the console window shows the given picture drawn pixel for
pixel (at its best place on the screen), much closer than another picture would be."""

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(__file__))
from check_full_show import read_bmp, shrink  # noqa: E402

STEP = 5  # compare 5 x 5 blocks: enough to place and recognise the picture


def load_png(path):
    import subprocess
    ppm = subprocess.run(["convert", path, "ppm:-"], capture_output=True, check=True).stdout
    header = ppm.split(b"\n", 3)
    width, height = map(int, header[1].split())
    return np.frombuffer(header[3], dtype=np.uint8).reshape(height, width, 3).astype(float)


def error(screen, bmp_path):
    picture = read_bmp(bmp_path)[: 800]  # windows shorter than the picture clip its foot
    h, w = picture.shape[0] // STEP, picture.shape[1] // STEP
    small = shrink(picture[: h * STEP, : w * STEP], h, w)
    sh, sw = screen.shape[0] // STEP, screen.shape[1] // STEP
    shown = shrink(screen[: sh * STEP, : sw * STEP], sh, sw)
    best = 1e9
    for y in range(0, sh - h + 1):
        for x in range(0, sw - w + 1):
            best = min(best, np.abs(shown[y:y + h, x:x + w] - small).mean())
    return best


def main(png, picture, other):
    screen = load_png(png)
    right, wrong = error(screen, picture), error(screen, other)
    print(f"picture difference {right:.1f}, another picture {wrong:.1f}")
    return 0 if right < 12 and right < wrong / 2 else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
