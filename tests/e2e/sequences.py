"""What the show writes to a terminal and what a terminal answers, as the end-to-end tests
and the measurements look for them, each spelled once."""

import re

# Console sizes are asked for with CSI 8 ; lines ; columns t.
SIZE_REQUEST = re.compile(rb"\x1b\[8;(\d+);(\d+)t")


def size_request(columns, lines):
    return b"\x1b[8;%d;%dt" % (lines, columns)


# The questions: device attributes end every batch of them; the gallery asks for the sixel
# size limit and the cell size last, the slides for the default colours.
ATTRIBUTES_QUERY = b"\x1b[c"
GRAPHICS_QUESTIONS = b"\x1b[?2;1S\x1b[16t" + ATTRIBUTES_QUERY
COLOURS = b"\x1b]10;"  # a default foreground colour asked for or set

# What a terminal answers to the device attributes query, by the canvas it should then get.
ANSWERS = {
    "half blocks": b"\x1b[?1;2c",
    "sixel": b"\x1b[?62;4c",
    "kitty": b"\x1b_Gi=31;OK\x1b\\\x1b[?62;c",
}
# A VT220 with ANSI colour and no graphics.
NO_GRAPHICS_ANSWER = b"\x1b[?62;22c"

# The canvases' pictures: a sixel image, a kitty image transmitted and shown, a half block.
CANVASES = {
    "sixel": re.compile(rb"\x1bP[0-9;]*q"),
    "kitty": re.compile(rb"\x1b_Ga=T"),
    "half blocks": re.compile("▀".encode()),
}
TRUECOLOUR = re.compile(rb"\x1b\[[0-9;]*[34]8;2;")
COLOUR_256 = re.compile(rb"\x1b\[[0-9;]*[34]8;5;")
CURSOR_TO = re.compile(rb"\x1b\[(\d+);(\d+)H")
PALETTE_GREEN_ON_BLACK = b"\x1b[92;40m"

# What the show writes to put the terminal back: it starts by ending any unfinished string.
RESTORE_START = b"\x1b\\"
AUTOWRAP_ON, CURSOR_SHOWN = b"\x1b[?7h", b"\x1b[?25h"
ATTRIBUTES_RESET = b"\x1b[0m"
RESTORED = [AUTOWRAP_ON, ATTRIBUTES_RESET, CURSOR_SHOWN]
# The default colours a terminal reports, and the requests that give them back.
COLOURS_QUERY = b"\x1b]11;?\x07"
REPORTED_COLOURS = b"\x1b]10;rgb:d0d0/d0d0/d0d0\x07\x1b]11;rgb:1010/1010/2020\x07"
# The cursor on a fresh line below the last picture.
BELOW_THE_PICTURE = b"\x1b[999;1H\r\n"
# Every sequence the show may write to put the terminal back, and nothing else.
UNDO = re.compile(rb"(\x1b\[8;\d+;\d+t|\x1b\[\?7h|\x1b\[0m|\x1b\]1[01];rgb:[0-9a-f/]+\x07|\x1b\[\?25h"
                  rb"|\x1b\[999;1H\r\n)*")
# What the show changes on the terminal, and must then put back.
CHANGES = re.compile(rb"\x1b\[8;\d+;\d+t|\x1b\[\?7l|\x1b\]1[01];rgb|\x1b\[\?25l|\x1b_G|\x1bP[0-9;]*q")
AUTOWRAP_OFF, CURSOR_HIDDEN = b"\x1b[?7l", b"\x1b[?25l"

# Any escape sequence, to read the text between them.
ESCAPE = re.compile(rb"\x1b\[[0-9;?]*[ -/]*[@-~]|\x1b\][^\x07]*\x07|\x1b[PX^_].*?\x1b\\", re.S)

# The presenter's counters at exit (VELORIA_STATS=1).
STATS = re.compile(rb"veloria: (\d+) frames shown, (\d+) dropped, (\d+) bytes")


def stats(raw):
    """(frames shown, frames dropped, bytes written), or None when not printed."""
    found = STATS.search(raw)
    return tuple(map(int, found.groups())) if found else None


def canvases_in(raw):
    """The canvases whose pictures appear in the bytes."""
    return [name for name, picture in CANVASES.items() if picture.search(raw)]

# Questions other programs ask (chafa, timg, in the figures) and a black terminal's answers.
OTHER_QUESTIONS = {
    b"\x1b]11;?": b"\x1b]11;rgb:0000/0000/0000\x1b\\",  # the background colour
    b"\x1b[5n": b"\x1b[0n",  # the device status
}
