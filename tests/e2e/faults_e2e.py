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
from ptyshow import PtyShow  # noqa: E402

SHOW_SECONDS = (51.6 + 26.52 + 30.5e6 / 130000) / 20
RESTORED = [b"\x1b[?7h", b"\x1b]110\x07", b"\x1b]111\x07", b"\x1b[?25h"]


def plain_run(binary, env, start_new_session=False, close_stdin=False):
    started = time.monotonic()
    done = subprocess.run([binary], stdin=subprocess.DEVNULL, capture_output=True, timeout=120,
                          env={**os.environ, **env}, start_new_session=start_new_session,
                          preexec_fn=(lambda: os.close(0)) if close_stdin else None)
    return done, time.monotonic() - started


def case_file_output(binary):
    done, took = plain_run(binary, {"LANG": "C.UTF-8"}, close_stdin=True)
    text = done.stdout.decode("utf-8")
    return [(done.returncode == 0, f"exit status {done.returncode}"),
            (b"\x1b" not in done.stdout, "no escape sequences in a file"),
            ("Во времена" in text and "VELORIA!" in text, "the texts are written"),
            on_time(took)]


def case_no_terminal(binary):
    done, _ = plain_run(binary, {"LANG": "C.UTF-8"}, start_new_session=True)
    return [(done.returncode == 0, f"exit status {done.returncode} with no controlling terminal"),
            (done.stderr == b"", "nothing on standard error")]


def case_c_locale(binary):
    done, _ = plain_run(binary, {"LANG": "C", "LC_ALL": "C"})
    return [(done.returncode == 0, f"exit status {done.returncode}"),
            (b"LOADING..." in done.stdout and b"?" in done.stdout,
             "ASCII stays, Cyrillic becomes '?' in the C locale")]


def case_no_sound(binary):
    done, _ = plain_run(binary, {"PULSE_SERVER": "unix:/nowhere", "ALSA_CONFIG_PATH": "/dev/null"})
    return [(done.returncode == 0, f"exit status {done.returncode}"),
            (done.stderr == b"", "silence, and nothing printed, without a sound service")]


# What a terminal answers when asked, by the kind of canvas the show should then choose.
ANSWERS = {
    "half blocks": b"\x1b[?1;2c",
    "sixel": b"\x1b[?62;4c",
    "kitty": b"\x1b_Gi=31;OK\x1b\\\x1b[?62;c",
}
# Every sequence the show may write to put the terminal back, and nothing else.
KITTY_FAREWELL = b"\x1b_Ga=d,d=I,q=2,i="
UNDO = re.compile(rb"(\x1b\[8;\d+;\d+t|\x1b\[\?7h|\x1b\[0m|\x1b\]11[01]\x07|\x1b\[\?25h"
                  rb"|\x1b_Ga=d,d=I,q=2,i=\d+\x1b\\|\x1b\[999;1H\r\n)*")
# What the show changes on the terminal, and must then put back.
CHANGES = re.compile(rb"\x1b\[8;\d+;\d+t|\x1b\[\?7l|\x1b\]1[01];rgb|\x1b\[\?25l|\x1b_G|\x1bP")
CURSOR_TO = re.compile(rb"\x1b\[(\d+);(\d+)H")


def on_time(took, expected=SHOW_SECONDS):
    return (abs(took - expected) / expected < 0.01,
            f"the show keeps its schedule: {took:.2f} s ({expected:.2f} s)")


def exited(status, code=0):
    return (os.WIFEXITED(status) and os.WEXITSTATUS(status) == code, f"exit status {status}")


def pty_case(binary, columns, lines, env, **terminal):
    show = PtyShow([binary], columns=columns, lines=lines, env=env, **terminal)
    show.type(b"\r")  # typed ahead: the show ends by itself after the gallery
    status = show.finish(SHOW_SECONDS + 15)
    return show, status


def enter_once_asked(show):
    """Types Enter for the final wait once the gallery has asked the terminal what it can show
    and had its answer, so the canvas is chosen by the answer and the line is left for the
    wait. (A line typed ahead would keep the show from asking.)"""
    show.wait_for(b"\x1b[?2;1S\x1b[c", SHOW_SECONDS)
    show.pump(0.2)
    show.type(b"\r")


def restored_at_end(show):
    raw = show.raw()
    tail = raw[raw.rfind(b"\x18\x1b\\") + 3:] if b"\x18\x1b\\" in raw else None
    return tail is not None and UNDO.fullmatch(tail) is not None, tail


def case_dumb_terminal(binary):
    show, status = pty_case(binary, 80, 24, {"TERM": "dumb"})
    return [exited(status), on_time(show.ended),
            (b"\x1b" not in show.raw(), "no escape sequences on a dumb terminal"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def case_tiny_terminal(binary):
    show, status = pty_case(binary, 20, 5, {"COLORTERM": "truecolor"})
    raw = show.raw()
    return [exited(status), on_time(show.ended),
            ("▀".encode() in raw, "the gallery is drawn on a 20 x 5 terminal"),
            (all(s in raw[raw.rfind(b"\x18\x1b\\"):] for s in RESTORED + [b"\x1b[8;5;20t"]),
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
    return [exited(status), on_time(show.ended),
            (b"\x1b]1" not in raw, "no default-colour requests or resets"),
            (b"38;2;" not in raw and b"\x1b_G" not in raw, "no truecolour and no kitty query"),
            (b"\x1b[92;40m" in raw, "light green on black from the palette"),
            ("▀".encode() in raw, "the gallery is drawn in half blocks"),
            (restored, f"everything restored at the end: {tail!r:.200}")]


def case_resize_storm(binary):
    """The terminal changes size every 20 ms through most of the gallery; the show follows
    each size, and the frames after the storm fit the last one."""
    show = PtyShow([binary], columns=150, lines=51, env={"COLORTERM": "truecolor"})
    show.type(b"\r")
    gallery = show.wait_for(b"\x1b[8;51;115t", SHOW_SECONDS)
    sizes = random.Random(7)
    storm_end = (gallery or 0) + 0.8 * (SHOW_SECONDS - (gallery or 0))
    resizes = 0
    while time.monotonic() - show.started < storm_end and show.status is None:
        show.resize(sizes.randint(10, 200), sizes.randint(3, 70))
        resizes += 1
        show.pump(0.02)
    show.resize(90, 30)
    settled = time.monotonic() - show.started + 0.2
    status = show.finish(SHOW_SECONDS)
    late = b"".join(data for at, data in show.chunks if at > settled)
    places = [(int(row), int(col)) for row, col in CURSOR_TO.findall(late[:late.rfind(b"\x18")])]
    restored, tail = restored_at_end(show)
    return [exited(status), on_time(show.ended),
            (resizes > 100 and "▀".encode() in late,
             f"{resizes} sizes during the gallery, and it is drawn after them"),
            (places and all(r <= 30 and c <= 90 for r, c in places),
             f"frames after the storm fit 90 x 30 (furthest cell {max(places, default=None)})"),
            (restored, f"everything restored at the end: {tail!r:.200}"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def case_slow_terminal(binary, pulse_server, track):
    """A terminal that takes 1 MB a second: frames are dropped, the pixel pace holds, and the
    music, heard through a private sound server, plays on without a gap."""
    recording = tempfile.NamedTemporaryFile(suffix=".raw")
    recorder = subprocess.Popen(["parec", "-s", pulse_server, "-d", "ci_null.monitor",
                                 "--format=s16le", "--rate=44100", "--channels=2",
                                 "--latency-msec=20"], stdout=recording)
    show = PtyShow([binary], columns=150, lines=51, answer=ANSWERS["half blocks"],
                   bytes_per_second=1_000_000,
                   env={"COLORTERM": "truecolor", "VELORIA_STATS": "1", "PULSE_SERVER": pulse_server})
    enter_once_asked(show)
    status = show.finish(SHOW_SECONDS + 30)
    recorder.terminate()
    recorder.wait()
    stats = re.search(rb"(\d+) frames shown, (\d+) dropped, (\d+) bytes", show.raw())
    shown, dropped, sent = map(int, stats.groups()) if stats else (0, 0, 0)
    took = show.ended
    heard = subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "..", "audio",
                                                         "correlate.py"),
                            track, recording.name, "8", "0.99"], capture_output=True, text=True)
    return [exited(status), on_time(took),
            (dropped > 0 and shown > 0, f"{shown} frames shown, {dropped} dropped"),
            (sent / took < 1_100_000, f"{sent / took / 1e6:.2f} MB/s written"),
            (heard.returncode == 0, f"the music plays on: {heard.stdout.strip()}"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def interrupt_case(at_seconds, signum, canvas, bytes_per_second):
    def run(binary):
        show = PtyShow([binary], columns=150, lines=51, answer=ANSWERS[canvas],
                       bytes_per_second=bytes_per_second, env={"COLORTERM": "truecolor"})
        show.pump(at_seconds)
        os.kill(show.pid, signum)
        # A slow terminal may still have a whole frame to take before the last bytes.
        status = show.finish(30 if bytes_per_second else 10)
        raw = show.raw()
        restored, tail = restored_at_end(show)
        if not re.search(CHANGES, raw):
            restored, tail = True, b""  # the signal came before the show changed anything
        expected = [b"\x1b[8;51;150t"] if b"\x1b[8;" in raw else []
        if b"\x1b]10;rgb" in raw:  # colours set, not only asked for
            expected += RESTORED[1:3]
        if b"\x1b[?25l" in raw:
            expected.append(b"\x1b[?25h")
        if b"\x1b[?7l" in raw:
            expected.append(b"\x1b[?7h")
        if b"\x1b_Ga=T" in raw:
            expected.append(KITTY_FAREWELL)
        name = signal.Signals(signum).name
        return [(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signum,
                 f"{name} at {at_seconds:.2f} s ({canvas}) ends the show by the signal ({status})"),
                (restored and all(s in tail for s in expected),
                 f"the last bytes put everything back, and nothing follows them: {tail!r:.200}"),
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
}

def case_traced(binary, pulse_server):
    """The whole show under strace, with sound and graphics: it writes no file and opens no
    network socket. Devices (the terminal, sound cards) are not files."""
    log = tempfile.NamedTemporaryFile(suffix=".strace")
    show = PtyShow(["strace", "-f", "-qq", "-o", log.name,
                    "-e", "trace=open,openat,openat2,creat,socket,mkdir,rename,unlink,truncate",
                    binary], columns=150, lines=51, answer=ANSWERS["sixel"],
                   env={"COLORTERM": "truecolor", "PULSE_SERVER": pulse_server})
    enter_once_asked(show)
    status = show.finish(SHOW_SECONDS * 2)
    calls = open(log.name, encoding="utf-8", errors="replace").read().splitlines()
    opens = [c for c in calls if re.search(r"\bopen(at2?)?\(|\bcreat\(", c)]
    writes = [c for c in opens if re.search(r"O_WRONLY|O_RDWR|O_CREAT|O_TRUNC", c)
              and not re.search(r'"/dev/', c)] + [c for c in calls if "creat(" in c]
    sockets = [c for c in calls if "socket(" in c]
    changes = [c for c in calls if re.search(r"\b(mkdir|rename|unlink|truncate)\(", c)]
    return [exited(status),
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
        at = chance.uniform(0.05, SHOW_SECONDS - 0.3)
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
        try:
            results[name] = case(binary)
        except Exception as error:  # a case that breaks is a failed case
            results[name] = [(False, f"{type(error).__name__}: {error}")]

    with concurrent.futures.ThreadPoolExecutor(workers) as pool:
        for name, case in cases.items():
            pool.submit(run, name, case)
    return [(name, results[name]) for name in cases]


def report(group, results):
    passed = 0
    for name, checks in results:
        ok = all(good for good, _ in checks)
        passed += ok
        print(f"{'ok  ' if ok else 'FAIL'} {name}")
        for good, what in checks:
            print(f"       {'ok  ' if good else 'FAIL'} {what}")
    return group, len(results), passed


def main(binary, pulse_server, track, seed):
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
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3],
                  int(sys.argv[4]) if len(sys.argv) > 4 else random.randrange(1 << 30)))
