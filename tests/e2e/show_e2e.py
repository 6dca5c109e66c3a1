"""The real show in a pseudo-terminal, in real time, through its first two movements: the six
texts appear as expected at their pace; then the terminal is widened and coloured and the
three slides are printed line by line, and the gallery begins on time and draws. SIGTERM
during the gallery ends the show as the signal does, with the terminal as it was found.

Usage: show_e2e.py VELORIA SHOW_SCHEDULE"""

import os
import signal
import sys

sys.path.insert(0, os.path.dirname(__file__))
import sequences  # noqa: E402
from harness import Checks, Schedule, Terminal  # noqa: E402

HERE = os.path.dirname(__file__)


def main(binary, schedule_tool):
    check = Checks()
    schedule = Schedule(schedule_tool)
    small, slides_size, gallery_size = (schedule.size_request(i) for i in (0, 1, -1))

    # A terminal that answers when asked for its device attributes and its colours, as
    # terminals do.
    show = Terminal([binary],
                    replies={sequences.COLOURS_QUERY: sequences.REPORTED_COLOURS,
                             sequences.ATTRIBUTES_QUERY: sequences.ANSWERS["half blocks"]})
    first = show.wait_for(b"L", 5)
    check(first is not None and first < 0.5, f"first character after {first} s")
    intro = show.wait_for("Во".encode(), 5)
    check(intro is not None and abs((intro - first) - 1.7) < 0.1,
          f"LOADING... paced 10 x 170 ms: {intro and intro - first:.3f} s")
    check(len(show.chunks) >= 10, f"characters arrive one by one ({len(show.chunks)} chunks)")

    music = show.wait_for(slides_size, schedule.opening + 10)
    check(music is not None, "the console grows for the slides after the title")
    if music is not None:
        # The title's last pause ends the opening; the music starts right after it.
        check(abs(music - first - schedule.opening) / schedule.opening < 0.005,
              f"opening took {music - first:.3f} s ({schedule.opening:.3f} s)")
    gallery = show.wait_for(gallery_size, schedule.slides + 10)
    check(gallery is not None, "the gallery asks for its console size")
    if music is not None and gallery is not None:
        # Less the wait for the answers to the colour questions, which is real time.
        took = gallery - music - show.answer_waits()
        check(abs(took - schedule.slides) / schedule.slides < 0.01,
              f"slides took {took:.3f} s ({schedule.slides:.3f} s)")
    show.pump(3.0)
    show.signal(signal.SIGTERM)
    status = show.finish(10)
    check(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signal.SIGTERM,
          f"SIGTERM ends the show as the signal does (status {status})")

    text = show.text()
    opening = open(os.path.join(HERE, "opening.txt"), encoding="utf-8").read()
    check(text.startswith(opening), "the opening's visible text is the six texts, broken as expected")
    printed = text[len(opening):].split("\n")
    expected = schedule.slide_lines()
    check(len(expected) == schedule["slideLines"] and printed[: len(expected)] == expected,
          f"the slides' {len(expected)} lines are printed in order")
    drawn = show.after(gallery_size)
    half_blocks = drawn.count("▀".encode())
    # Nothing but the canvas writes half blocks (the slides are ASCII): three seconds of the
    # gallery's noise fill many rows of cells.
    row = schedule["columns"]
    check(half_blocks > row, f"the gallery draws on the terminal: {half_blocks} half blocks "
                             f"written after its size request (more than a row, {row})")

    raw = show.raw()
    at = [raw.find(request) for request in (small, slides_size, sequences.COLOURS)]
    check(-1 not in at and at == sorted(at),
          f"the console is made 55 x 20, then 150 x 51, before the colours (at bytes {at})")
    restore = raw[raw.rfind(sequences.RESTORE_START):]
    for sequence, what in [(sequences.size_request(80, 24), "size"),
                           (sequences.AUTOWRAP_ON, "autowrap"),
                           (sequences.REPORTED_COLOURS, "default colours as reported"),
                           (sequences.CURSOR_SHOWN, "cursor")]:
        check(sequence in restore, f"{what} restored at exit")
    check(show.modes_now() == show.modes_before, "all terminal modes are as they were")
    return check.exit_status()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
