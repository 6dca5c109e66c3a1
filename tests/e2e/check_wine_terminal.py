"""Checks a run of the Windows program by Wine inside tmux (see wine_terminal_e2e.sh): the
pictures seen in the captured screens, in the gallery's order; the last picture on the final
screen; the exit status; and the terminal's modes and colours after the show."""

import glob
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(__file__))
import screen  # noqa: E402
from check_full_show import read_bmp, shrink  # noqa: E402
from harness import Checks  # noqa: E402

# The gallery's pictures in order, and the window they are drawn in: the drawing area
# (1010 x 1010 at 5, 5) in a 1150 x 1020 window, shown as 115 x 102 half-cell dots.
GALLERY = ["QIR", "TOLV", "SUN", "GLASS", "RASKEP"]
AREA, AREA_LEFT, DOT = 1010, 5, 10


def picture_error(shown, picture):
    """The mean colour difference between the dots and the picture where the gallery draws it
    (its lines start one below the centred place), best within a dot either way."""
    h, w = picture.shape[:2]
    left = (AREA_LEFT + (AREA - w) // 2) / DOT
    top = (AREA_LEFT + (AREA - h) // 2 + 1) / DOT
    small = shrink(picture, round(h / DOT), round(w / DOT))
    best = 1e9
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            y, x = round(top) + dy, round(left) + dx
            part = shown[y:y + small.shape[0], x:x + small.shape[1]]
            if part.shape == small.shape:
                best = min(best, np.abs(part - small).mean())
    return best


def dots(path):
    rows = screen.parse(open(path, encoding="utf-8").read())
    return np.array(screen.half_block_pixels(rows[:51]), dtype=float)


def recognised(shown, pictures):
    """The picture on screen, where one is clearly: close to it, and far from every other."""
    errors = {name: picture_error(shown, picture) for name, picture in pictures.items()}
    best = min(errors, key=errors.get)
    others = min(e for name, e in errors.items() if name != best)
    return (best if errors[best] < 20 and errors[best] < others / 2 else None), errors


def main(work, media):
    check = Checks()
    pictures = {name: read_bmp(os.path.join(media, name + ".bmp")) for name in GALLERY}

    status_path = os.path.join(work, "status")
    status = open(status_path).read().strip() if os.path.exists(status_path) else "none"
    check(status == "0", f"Enter after the gallery ended the show: status {status}")

    screens = sorted(glob.glob(os.path.join(work, "screen-*.txt")))
    complaints = [path for path in screens if "mode con" in open(path, encoding="utf-8").read()]
    check(not complaints, f"no command's complaint about resizing is shown ({len(complaints)} screens)")

    seen, scrolled = [], []
    for path in screens:
        name, _ = recognised(dots(path), pictures)
        if name and (not seen or seen[-1] != name):
            seen.append(name)
        if seen:
            scrolled.append(int(open(path.replace("screen-", "scrolled-")[:-4]).read()))
    check(seen == GALLERY, f"the pictures seen, in order: {' '.join(seen) or 'none'}")
    # A sequence cut by the console's own line breaks would scroll the picture up.
    check(len(set(scrolled)) == 1, f"the gallery never scrolls the terminal: "
          f"{scrolled[-1] - scrolled[0] if scrolled else 0} lines scrolled while it was shown")

    final = os.path.join(work, "final-screen.txt")
    name, errors = recognised(dots(final), pictures)
    check(name == "RASKEP", "the last picture stays on screen after the show: " +
          ", ".join(f"{n} {e:.1f}" for n, e in errors.items()))

    before = open(os.path.join(work, "modes-before")).read().split()
    terminal_as_it_was(check, before, os.path.join(work, "modes-after"), final, "after the show")

    status = open(os.path.join(work, "interrupted-status")).read().strip()
    # STATUS_CONTROL_C_EXIT, 0xC000013A, of which the shell sees the low byte.
    check(status == str(0x3A), f"Ctrl+C during the gallery ends the show: status {status}")
    terminal_as_it_was(check, before, os.path.join(work, "interrupted-modes"),
                       os.path.join(work, "interrupted-screen.txt"), "after Ctrl+C")
    return check.exit_status()


def terminal_as_it_was(check, before, modes_path, screen_path, when):
    after = open(modes_path).read().split()
    check(after[:5] == before, f"{when}, the terminal's modes as they were: {before} -> {after[:5]}")
    rows = screen.parse(open(screen_path, encoding="utf-8").read())
    printed = [(r, row) for r, row in enumerate(rows)
               if "after the show" in "".join(c for c, _, _ in row)]
    line, row = printed[-1] if printed else (None, [])
    colours = {(fg, bg) for c, fg, bg in row if c != " "}
    check(line is not None and "".join(c for c, _, _ in row).startswith("after the show")
          and colours == {(screen.DEFAULT_FG, screen.DEFAULT_BG)},
          f"{when}, the next output starts a fresh line in the terminal's own colours (row {line})")


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
