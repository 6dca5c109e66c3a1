"""The real show in a pseudo-terminal, in real time, through its first two movements: the six
texts appear as expected at their pace; then the terminal is widened and coloured and the
three slides are printed line by line, and the gallery begins on time. SIGTERM during the
gallery ends the show as the signal does, with the terminal as it was found."""

import os
import re
import signal
import sys

sys.path.insert(0, os.path.dirname(__file__))
from ptyshow import PtyShow  # noqa: E402

HERE = os.path.dirname(__file__)


def slides_from(generated_source):
    """The slides' lines, read back from the source file the build generated for them."""
    slides = []
    for block in re.findall(r"ArtSlide\d = \{(.*?)\};", open(generated_source).read(), re.S):
        lines = re.findall(r'"((?:[^"\\]|\\.)*)"', block)
        slides.append([re.sub(r"\\(.)", r"\1", line) for line in lines])
    return slides


def main(binary, generated_slides):
    failures = []

    def check(ok, what):
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            failures.append(what)

    slides = slides_from(generated_slides)
    check([len(s) for s in slides] == [51, 68, 65], "the three slides are read back")

    # A terminal that answers when asked for its device attributes, as terminals do.
    show = PtyShow([binary, "--ignored", "arguments"], answer=b"\x1b[?1;2c")
    first = show.wait_for(b"L", 5)
    check(first is not None and first < 0.5, f"first character after {first} s")
    intro = show.wait_for("Во".encode(), 5)
    check(intro is not None and abs((intro - first) - 1.7) < 0.1,
          f"LOADING... paced 10 x 170 ms: {intro and intro - first:.3f} s")
    check(len(show.chunks) >= 10, f"characters arrive one by one ({len(show.chunks)} chunks)")

    colours = show.wait_for(b"\x1b]10;", 60)
    check(colours is not None, "the terminal is coloured after the title")
    if colours is not None:
        # The title's last pause (100 ms) ends the opening; the music starts right after it.
        check(abs(colours - first - 51.6) / 51.6 < 0.005,
              f"opening took {colours - first:.3f} s (51.6 s)")
    gallery = show.wait_for(b"\x1b[8;51;115t", 40)
    check(gallery is not None, "the gallery asks for its console size")
    if colours is not None and gallery is not None:
        check(abs(gallery - colours - 26.52) / 26.52 < 0.01,
              f"slides took {gallery - colours:.3f} s (26.52 s)")
    show.pump(3.0)
    os.kill(show.pid, signal.SIGTERM)
    status = show.finish(10)
    check(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGTERM,
          f"SIGTERM ends the show as the signal does (status {status})")

    text = show.text()
    opening = open(os.path.join(HERE, "opening.txt"), encoding="utf-8").read()
    check(text.startswith(opening), "the opening's visible text is the six texts, broken as expected")
    printed = text[len(opening):].split("\n")
    expected = [line for slide in slides for line in slide]
    check(printed[: len(expected)] == expected, "the slides' lines are printed in order")
    check(len(show.text()) > len(opening) + 150 * (51 + 68 + 65),
          "the gallery draws on the terminal")

    raw = show.raw()
    colour_at = raw.find(b"\x1b]10;")
    check(raw.find(b"\x1b[8;20;55t") < raw.find(b"\x1b[8;51;150t") < colour_at,
          "the console is made 55 x 20, then 150 x 51, before the colours")
    restore = raw[raw.rfind(b"\x18\x1b\\"):]
    for sequence, what in [(b"\x1b[8;24;80t", "size"), (b"\x1b[?7h", "autowrap"),
                           (b"\x1b]110\x07", "default foreground"),
                           (b"\x1b]111\x07", "default background"), (b"\x1b[?25h", "cursor")]:
        check(sequence in restore, f"{what} restored at exit")
    check(show.modes_now() == show.modes_before, "all terminal modes are as they were")
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
