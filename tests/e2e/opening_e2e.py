"""The real opening in a pseudo-terminal, in real time: the six texts appear as expected, at
their pace, Enter ends the show with status 0, and the terminal's modes come back."""

import os
import sys
import termios

sys.path.insert(0, os.path.dirname(__file__))
from ptyshow import PtyShow  # noqa: E402

HERE = os.path.dirname(__file__)


def main(binary):
    failures = []

    def check(ok, what):
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            failures.append(what)

    show = PtyShow([binary, "--ignored", "arguments"])
    first = show.wait_for(b"L", 5)
    check(first is not None and first < 0.5, f"first character after {first} s")
    intro = show.wait_for("Во".encode(), 5)
    check(intro is not None and abs((intro - first) - 1.7) < 0.1,
          f"LOADING... paced 10 x 170 ms: {intro and intro - first:.3f} s")
    # Each typed character is flushed separately, so the pace shows as a stream of small chunks.
    check(len(show.chunks) >= 10, f"characters arrive one by one ({len(show.chunks)} chunks)")
    title = show.wait_for(b"VELORIA!", 60)
    show.pump(1.0)
    check(title is not None, "the title is typed")
    if title is not None:
        # The title's last pause (100 ms) follows its last character.
        duration = title + 0.1 - first
        check(abs(duration - 51.6) / 51.6 < 0.005, f"opening took {duration:.3f} s (51.6 s)")
    expected = open(os.path.join(HERE, "opening.txt"), encoding="utf-8").read()
    check(show.text() == expected, "the visible text is the six texts, broken as expected")
    if show.text() != expected:
        print(show.text())
    check(show.status is None, "the show waits for Enter")
    show.type(b"\r")
    status = show.finish()
    check(os.WIFEXITED(status) and os.WEXITSTATUS(status) == 0, f"exit status {status}")
    raw = show.raw()
    check(raw.find(b"\x1b[8;20;55t") < raw.find(b"\x1b[8;24;80t"),
          "the size is asked for and put back")
    check(show.modes_now()[3] & termios.ECHO, "echo is back on")
    check(show.modes_now() == show.modes_before, "all terminal modes are as they were")
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
