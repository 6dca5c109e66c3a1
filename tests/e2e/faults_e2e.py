"""Faults the show must bear, run on a build whose clocks go twenty times faster (a whole
show in about 16 s). Each case runs the real program and checks that it ends as it should
and leaves the terminal as it found it: first the named faults, four at a time, then a
hundred interrupts at random moments on terminals of every kind (the seed is printed, and can
be given to repeat a run)."""

import concurrent.futures
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402
import sequences  # noqa: E402
from harness import Checks, Terminal  # noqa: E402
from sequences import ANSWERS, RESTORED, UNDO, CHANGES, CURSOR_TO  # noqa: E402

HERE = os.path.dirname(__file__)
SCHEDULE = None  # the fast build's schedule, from show_schedule (see main)


def plain_run(binary, env, start_new_session=False, close_stdin=False):
    """Runs the show with its output to a file. Returns the run, with how long it took from
    exec to exit less the time the program waited for a CPU before the gallery (where its
    output stops: the slides are the last text)."""
    out = tempfile.TemporaryFile()
    started = time.monotonic()
    show = subprocess.Popen([binary], stdin=subprocess.DEVNULL, stdout=out,
                            stderr=subprocess.PIPE, env={**os.environ, **env},
                            start_new_session=start_new_session,
                            preexec_fn=(lambda: os.close(0)) if close_stdin else None)
    samples = []  # (output size, run delay)
    while show.poll() is None and time.monotonic() - started < 120:
        delay = harness.run_delay(show.pid)
        if delay is not None:
            samples.append((os.fstat(out.fileno()).st_size, delay))
        time.sleep(0.02)
    stderr = show.communicate(timeout=5)[1]
    took = time.monotonic() - started
    out.seek(0)
    stdout = out.read()
    busy = next((d for size, d in samples if size == len(stdout)), 0.0)
    return subprocess.CompletedProcess(show.args, show.returncode, stdout, stderr), took, busy


def word_shape(text):
    """The text with each word one 'w': the words and the spaces and breaks between them."""
    return re.sub(r"[^ \n]+", "w", text)


def case_file_output(binary):
    done, took, busy = plain_run(binary, {"LANG": "C.UTF-8"}, close_stdin=True)
    text = done.stdout.decode("utf-8")
    checks = Checks(live=False)
    checks(done.returncode == 0, f"exit status {done.returncode}")
    checks(b"\x1b" not in done.stdout, "no escape sequences in a file")
    checks("Во времена" in text and "VELORIA!" in text, "the texts are written")
    expected = SCHEDULE.show
    checks(expected * 0.99 <= took and took - busy <= expected * 1.01,
           f"the show keeps its schedule: {took:.3f} s ({expected:.3f} s), exec to exit; "
           f"before the gallery {busy:.3f} s waiting for a CPU")
    return checks.results


def case_no_terminal(binary):
    done, _, _ = plain_run(binary, {"LANG": "C.UTF-8"}, start_new_session=True)
    checks = Checks(live=False)
    checks(done.returncode == 0, f"exit status {done.returncode} with no controlling terminal")
    checks(done.stderr == b"", "nothing on standard error")
    return checks.results


def case_c_locale(binary):
    done, _, _ = plain_run(binary, {"LANG": "C", "LC_ALL": "C"})
    checks = Checks(live=False)
    checks(done.returncode == 0, f"exit status {done.returncode}")
    # The C locale's charset is ASCII: each Cyrillic word is spelled in ASCII ('?' where a
    # letter has no spelling), so the prose keeps every word, and its breaks.
    with open(os.path.join(HERE, "opening.txt"), encoding="utf-8") as f:
        opening = f.read()
    typed = done.stdout[:done.stdout.find(b"VELORIA!") + len(b"VELORIA!")]
    shown = typed.decode("ascii", "replace")
    checks(typed.isascii() and word_shape(shown) == word_shape(opening[:len(opening.rstrip())]),
           f"the typed prose, its Cyrillic among it, is written word for word in ASCII in the "
           f"C locale: {typed[40:120]!r}")
    return checks.results


def case_no_sound(binary):
    done, _, _ = plain_run(binary, {"PULSE_SERVER": "unix:/nowhere",
                                    "ALSA_CONFIG_PATH": "/dev/null"})
    checks = Checks(live=False)
    checks(done.returncode == 0, f"exit status {done.returncode}")
    checks(done.stderr == b"", "silence, and nothing printed, without a sound service")
    return checks.results


def exited(status, code=0):
    return os.WIFEXITED(status) and os.WEXITSTATUS(status) == code, f"exit status {status}"


def on_time(show):
    return show.schedule_kept(SCHEDULE.show, SCHEDULE.size_request(-1))


def pty_case(binary, columns, lines, env, **terminal):
    show = Terminal([binary], columns=columns, lines=lines, env=env, **terminal)
    show.type(b"\r")  # typed ahead: the show ends by itself after the gallery
    status = show.finish(SCHEDULE.show + 15)
    return show, status


def behind_the_terminal():
    """Run in the show's process before exec: six shows drawing at once take both cores, and
    a terminal starved of them answers the show's questions after its wait for them is over.
    A real terminal is not slowed by the programs on it, so the shows run at a lower
    priority than the terminals of this suite."""
    os.nice(10)


def answering(canvas):
    """A terminal that answers the device attributes query as one with the given canvas."""
    return {sequences.ATTRIBUTES_QUERY: ANSWERS[canvas]}


def gallery_canvases(show):
    """The canvases whose pictures were written after the gallery's size request."""
    return sequences.canvases_in(show.after(SCHEDULE.size_request(-1)))


def enter_once_asked(show):
    """Types Enter for the final wait once the gallery has asked the terminal what it can show
    and had its answer, so the canvas is chosen by the answer and the line is left for the
    wait. (A line typed ahead would keep the show from asking.)"""
    show.wait_for(sequences.GRAPHICS_QUESTIONS, SCHEDULE.show)
    show.pump(0.2)
    show.type(b"\r")


def echoed(data):
    """How the terminal echoes typed bytes once the show has turned echo back on: control
    characters as ^X."""
    return b"".join(b"^" + bytes([c ^ 0x40]) if c < 0x20 or c == 0x7F else bytes([c])
                    for c in data)


def restored_at_end(show):
    """Whether the last bytes the show wrote put everything back, and nothing follows them.
    An answer typed just as a signal came is echoed once the show has restored echo: the
    terminal's, not the show's, so it is left out."""
    raw = show.raw()
    at = raw.rfind(sequences.RESTORE_START)
    tail = raw[at + len(sequences.RESTORE_START):] if at >= 0 else None
    if tail is not None:
        for _, typed in show.typed:
            tail = tail.replace(echoed(typed), b"")
    return tail is not None and UNDO.fullmatch(tail) is not None, tail


def drawn_as_answered(show, canvas, drawing=True):
    """Whether the gallery was drawn on the canvas the terminal's answer chose: only that
    one, or, where the answer may have come after the show's wait for it (a machine busy with
    other shows), half blocks. drawing: the first frame must have come."""
    drawn = gallery_canvases(show)
    late = not show.answered_at_once(sequences.GRAPHICS_QUESTIONS)
    chosen = [[canvas], ["half blocks"]] if late else [[canvas]]
    return (drawn in chosen if drawing else drawn in [[], *chosen],
            f"the gallery is drawn on {canvas} alone: {drawn}"
            + (" (the answer may have come too late)" if late else ""))


def case_dumb_terminal(binary):
    show, status = pty_case(binary, 80, 24, {"TERM": "dumb"})
    return [exited(status), on_time(show),
            (b"\x1b" not in show.raw(), "no escape sequences on a dumb terminal"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def case_tiny_terminal(binary):
    show, status = pty_case(binary, 20, 5, {"COLORTERM": "truecolor"})
    raw = show.raw()
    return [exited(status), on_time(show),
            (gallery_canvases(show) == ["half blocks"], "the gallery is drawn on a 20 x 5 terminal"),
            (all(s in raw[raw.rfind(sequences.RESTORE_START):]
                 for s in RESTORED + [sequences.size_request(20, 5)]),
             "size, autowrap, colours and cursor restored"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def case_inside_screen(binary):
    """Inside GNU screen (STY set), which mangles truecolour attributes, passes on only some
    default-colour requests and takes the kitty query for a window title: none are sent, and
    the slides are coloured with the palette's colours."""
    show, status = pty_case(binary, 150, 51, {"STY": "4242.pts-0.host", "COLORTERM": "truecolor",
                                              "TERM": "screen"})
    raw = show.raw()
    restored, tail = restored_at_end(show)
    return [exited(status), on_time(show),
            (b"\x1b]1" not in raw, "no default-colour requests or resets"),
            (b"38;2;" not in raw and b"\x1b_G" not in raw, "no truecolour and no kitty query"),
            (sequences.PALETTE_GREEN_ON_BLACK in raw, "light green on black from the palette"),
            (gallery_canvases(show) == ["half blocks"], "the gallery is drawn in half blocks"),
            (restored, f"everything restored at the end: {tail!r:.200}")]


def case_resize_storm(binary):
    """The terminal changes size every 20 ms through most of the gallery; the show follows
    each size, and the frames after the storm fit the last one."""
    show = Terminal([binary], columns=150, lines=51, env={"COLORTERM": "truecolor"})
    show.type(b"\r")
    gallery = show.wait_for(SCHEDULE.size_request(-1), SCHEDULE.show)
    sizes = random.Random(7)
    storm_end = (gallery or 0) + 0.8 * (SCHEDULE.show - (gallery or 0))
    resizes = 0
    while time.monotonic() - show.started < storm_end and show.status is None:
        show.resize(sizes.randint(10, 200), sizes.randint(3, 70))
        resizes += 1
        show.pump(0.02)
    show.resize(90, 30)
    settled = time.monotonic() - show.started + 0.2
    status = show.finish(SCHEDULE.show)
    late = b"".join(data for at, data in show.chunks if at > settled)
    places = [(int(row), int(col)) for row, col in CURSOR_TO.findall(late[:late.rfind(sequences.RESTORE_START)])]
    restored, tail = restored_at_end(show)
    return [exited(status), on_time(show),
            (resizes > 100 and "▀".encode() in late,
             f"{resizes} sizes during the gallery, and it is drawn after them"),
            (places and all(r <= 30 and c <= 90 for r, c in places),
             f"frames after the storm fit 90 x 30 (furthest cell {max(places, default=None)})"),
            (restored, f"everything restored at the end: {tail!r:.200}"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def recording_started(path, seconds=5):
    """When the recording began (monotonic): once the recorder writes, the time less what it
    has recorded (16-bit stereo at 44.1 kHz)."""
    deadline = time.monotonic() + seconds
    while os.path.getsize(path) == 0 and time.monotonic() < deadline:
        time.sleep(0.002)
    return time.monotonic() - os.path.getsize(path) / (44100 * 4)


def case_slow_terminal(binary, pulse_server, track):
    """A terminal that takes 1 MB a second: frames are dropped, the pixel pace holds, and the
    music, heard through a private sound server, starts when the title has been typed and
    plays on without a gap."""
    recording = tempfile.NamedTemporaryFile(suffix=".raw")
    recorder = subprocess.Popen(["parec", "-s", pulse_server, "-d", "ci_null.monitor",
                                 "--format=s16le", "--rate=44100", "--channels=2",
                                 "--latency-msec=20"], stdout=recording)
    recorded_from = recording_started(recording.name)
    show = Terminal([binary], columns=150, lines=51, replies=answering("half blocks"),
                    bytes_per_second=1_000_000,
                    env={"COLORTERM": "truecolor", "VELORIA_STATS": "1",
                         "PULSE_SERVER": pulse_server})
    enter_once_asked(show)
    status = show.finish(SCHEDULE.show + 30)
    recorder.terminate()
    recorder.wait()
    shown, dropped, sent = sequences.stats(show.raw()) or (0, 0, 0)
    took = show.ended
    heard = subprocess.run([sys.executable, os.path.join(HERE, "..", "audio", "correlate.py"),
                            track, recording.name, "8", "0.99"], capture_output=True, text=True)
    # The track's place in the recording: the title typed, counted from the first byte,
    # which the recorder's start preceded. The recording's first 20 ms are not compared.
    lag = re.search(r"at lag ([0-9.]+) s", heard.stdout)
    expected = show.started + show.first_byte() + SCHEDULE.opening - recorded_from - 0.02
    started = float(lag.group(1)) if lag else float("nan")
    # Late wake-ups on a busy machine delay the title, and with it the music.
    busy = show.run_delay_between(show.first_byte(), show.arrival(SCHEDULE.size_request(1)))
    return [exited(status), on_time(show),
            (dropped > 0 and shown > 0, f"{shown} frames shown, {dropped} dropped"),
            (sent / took < 1_100_000, f"{sent / took / 1e6:.2f} MB/s written"),
            (heard.returncode == 0, f"the music plays on: {heard.stdout.strip()}"),
            (expected - 0.1 < started < expected + 0.1 + busy,
             f"the music starts when the title has been typed: {started:.3f} s into the "
             f"recording ({expected:.3f} s; {busy:.3f} s waiting for a CPU before it)"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def case_final_wait(binary):
    """Nothing typed: the last picture stays and the show waits for Enter, then ends at once."""
    show = Terminal([binary], columns=150, lines=51, replies=answering("half blocks"),
                    env={"COLORTERM": "truecolor"})
    show.pump(SCHEDULE.show + 2)
    waiting = show.status is None
    typed = time.monotonic() - show.started
    show.type(b"\r")
    status = show.finish(5)
    return [(waiting, f"still waiting 2 s after the gallery's end ({SCHEDULE.show:.2f} s), "
                      f"with nothing typed (ended at {show.ended:.2f} s)"),
            (show.ended - typed < 0.5, f"Enter ends the show {show.ended - typed:.3f} s later"),
            exited(status)]


def interrupt_case(at_seconds, signum, canvas, bytes_per_second):
    def run(binary):
        show = Terminal([binary], columns=150, lines=51, replies=answering(canvas),
                        bytes_per_second=bytes_per_second, env={"COLORTERM": "truecolor"},
                        before_exec=behind_the_terminal)
        show.pump(at_seconds)
        os.kill(show.pid, signum)
        # A slow terminal may still have a whole frame to take before the last bytes.
        status = show.finish(30 if bytes_per_second else 10)
        raw = show.raw()
        restored, tail = restored_at_end(show)
        if not re.search(CHANGES, raw):
            restored, tail = True, b""  # the signal came before the show changed anything
        expected = [SCHEDULE.size_request(1)] if b"\x1b[8;" in raw else []
        if sequences.PALETTE_GREEN_ON_BLACK in raw:
            expected.append(sequences.ATTRIBUTES_RESET)
        if sequences.CURSOR_HIDDEN in raw:
            expected += [sequences.BELOW_THE_PICTURE, sequences.CURSOR_SHOWN]
        if sequences.AUTOWRAP_OFF in raw:
            expected.append(sequences.AUTOWRAP_ON)
        # Half a second into the gallery the terminal has the first frame of its canvas.
        gallery = show.arrival(SCHEDULE.size_request(-1))
        name = signal.Signals(signum).name
        return [(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signum,
                 f"{name} at {at_seconds:.2f} s ({canvas}) ends the show by the signal ({status})"),
                (restored and all(s in tail for s in expected),
                 f"the last bytes put everything back, and nothing follows them: {tail!r:.200}"),
                drawn_as_answered(show, canvas, gallery is not None and at_seconds > gallery + 0.5),
                (show.modes_now() == show.modes_before, f"terminal modes as they were after {name}")]
    return run


CASES = {
    "stdout to a file, stdin closed": case_file_output,
    "no terminal at all": case_no_terminal,
    "LANG=C": case_c_locale,
    "no sound server": case_no_sound,
    "TERM=dumb": case_dumb_terminal,
    "a 20 x 5 terminal": case_tiny_terminal,
    "inside GNU screen": case_inside_screen,
    "a resize storm during the gallery": case_resize_storm,
    "the final wait, nothing typed": case_final_wait,
}


def case_traced(binary, pulse_server):
    """The whole show under strace, with sound and sixel graphics: it writes no file and opens
    no network socket. Devices (the terminal, sound cards) are not files."""
    log = tempfile.NamedTemporaryFile(suffix=".strace")
    show = Terminal(["strace", "-f", "-qq", "-o", log.name,
                     "-e", "trace=open,openat,openat2,creat,socket,mkdir,rename,unlink,truncate",
                     binary], columns=150, lines=51, replies=answering("sixel"),
                    env={"COLORTERM": "truecolor", "PULSE_SERVER": pulse_server},
                    before_exec=behind_the_terminal)
    enter_once_asked(show)
    status = show.finish(SCHEDULE.show * 2)
    calls = open(log.name, encoding="utf-8", errors="replace").read().splitlines()
    opens = [c for c in calls if re.search(r"\bopen(at2?)?\(|\bcreat\(", c)]
    writes = [c for c in opens if re.search(r"O_WRONLY|O_RDWR|O_CREAT|O_TRUNC", c)
              and not re.search(r'"/dev/', c)] + [c for c in calls if "creat(" in c]
    sockets = [c for c in calls if "socket(" in c]
    changes = [c for c in calls if re.search(r"\b(mkdir|rename|unlink|truncate)\(", c)]
    return [exited(status),
            drawn_as_answered(show, "sixel"),
            (len(opens) > 10 and any("AF_UNIX" in c for c in sockets),
             f"{len(opens)} opens and {len(sockets)} sockets traced"),
            (not writes, f"no file opened for writing: {writes[:3]}"),
            (all("AF_UNIX" in c for c in sockets), f"no network socket: {sockets[:3]}"),
            (not changes, f"no file made, renamed or removed: {changes[:3]}")]


INTERRUPTS = 100


def interrupt_cases(seed):
    """Signals at random moments across the whole show, on terminals of every kind."""
    chance = random.Random(seed)
    cases = {}
    for i in range(INTERRUPTS):
        at = chance.uniform(0.05, SCHEDULE.show - 0.3)
        signum = chance.choice([signal.SIGINT, signal.SIGTERM, signal.SIGHUP])
        canvas = chance.choice(list(ANSWERS))
        # On a slow terminal the signal often comes while a frame is still being written.
        rate = chance.choice([None, 1_000_000])
        speed = "a slow terminal" if rate else "a fast terminal"
        cases[f"interrupt {i + 1}: {signal.Signals(signum).name} at {at:.2f} s, {canvas}, {speed}"] = \
            interrupt_case(at, signum, canvas, rate)
    return cases


def run_cases(cases, binary, workers):
    results = {}

    def run(name, case):
        checks = Checks(live=False)
        try:
            for ok, what in case(binary):
                checks(ok, what)
        except Exception as error:  # a case that breaks is a failed case
            checks(False, f"{type(error).__name__}: {error}")
        results[name] = checks

    with concurrent.futures.ThreadPoolExecutor(workers) as pool:
        for name, case in cases.items():
            pool.submit(run, name, case)
    return [(name, results[name]) for name in cases]


def report(group, results):
    for name, checks in results:
        checks.report(name)
    return group, len(results), sum(checks.passed for _, checks in results)


def main(binary, schedule_tool, pulse_server, track, seed):
    global SCHEDULE
    SCHEDULE = harness.Schedule(schedule_tool, fast=True)
    # Only the slow terminal's case plays its music into the private sound server.
    os.environ["PULSE_SERVER"] = "unix:/nowhere"
    cases = dict(CASES)
    cases["a terminal that reads 1 MB a second"] = \
        lambda b: case_slow_terminal(b, pulse_server, track)
    # The cases that time the show run four at a time, apart from the interrupts.
    summary = [report("faults", run_cases(cases, binary, 4))]
    print(f"interrupts chosen with seed {seed}")
    traced = "the whole show under strace"
    later = {traced: lambda b: case_traced(b, pulse_server), **interrupt_cases(seed)}
    results = run_cases(later, binary, 6)
    summary.append(report("strace", results[:1]))
    summary.append(report("interrupts", results[1:]))
    print("| cases | runs | passed |\n|---|---|---|")
    for group, runs, passed in summary:
        print(f"| {group} | {runs} | {passed} |")
    return 0 if all(runs == passed for _, runs, passed in summary) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4],
                  int(sys.argv[5]) if len(sys.argv) > 5 else random.randrange(1 << 30)))
