"""Reads a terminal screen captured with `tmux capture-pane -p -e` into cells of
(character, foreground, background), and renders half-block screens as pictures."""

import re

SGR = re.compile(r"\x1b\[([0-9;]*)m")
DEFAULT_FG, DEFAULT_BG = (204, 204, 204), (0, 0, 0)


def parse(capture):
    """A list of rows, each a list of (char, fg, bg) cells."""
    rows = []
    fg, bg = DEFAULT_FG, DEFAULT_BG
    for line in capture.split("\n"):
        row, at = [], 0
        for m in SGR.finditer(line):
            row += [(ch, fg, bg) for ch in line[at : m.start()]]
            at = m.end()
            codes = [int(c) if c else 0 for c in m.group(1).split(";")]
            i = 0
            while i < len(codes):
                c = codes[i]
                if c == 0:
                    fg, bg = DEFAULT_FG, DEFAULT_BG
                elif c in (38, 48) and i + 4 < len(codes) and codes[i + 1] == 2:
                    colour = tuple(codes[i + 2 : i + 5])
                    fg, bg = (colour, bg) if c == 38 else (fg, colour)
                    i += 4
                elif c == 39:
                    fg = DEFAULT_FG
                elif c == 49:
                    bg = DEFAULT_BG
                i += 1
        row += [(ch, fg, bg) for ch in line[at:]]
        rows.append(row)
    return rows


def half_block_pixels(rows):
    """Two pixels per cell, one above the other: the upper from a '▀' cell's foreground."""
    width = max(len(r) for r in rows)
    pixels = []
    for row in rows:
        upper, lower = [], []
        for x in range(width):
            ch, fg, bg = row[x] if x < len(row) else (" ", DEFAULT_FG, DEFAULT_BG)
            upper.append(fg if ch == "▀" else bg)
            lower.append(bg)
        pixels += [upper, lower]
    return pixels


def write_ppm(pixels, path, scale=4):
    height, width = len(pixels), len(pixels[0])
    with open(path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width * scale, height * scale))
        for row in pixels:
            line = b"".join(bytes(p) * scale for p in row)
            f.write(line * scale)
