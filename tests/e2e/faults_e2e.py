"""Faults the show must bear, run on a build whose clocks go twenty times faster (a whole
show in about 16 s). Each case runs the real program and checks that it ends as it should
and leaves the terminal as it found it. The cases run side by side."""

import os
import signal
import subprocess
import sys
import termios
import threading
import time

sys.path.insert(0, os.path.dirname(__file__))
from ptyshow import PtyShow  # noqa: E402

SHOW_SECONDS = (51.6 + 26.52 + 30.5e6 / 130000) / 20
RESTORED = [b"\x1b[?7h", b"\x1b]110\x07", b"\x1b]111\x07", b"\x1b[?25h"]


def plain_run(binary, env, stdin=subprocess.DEVNULL, start_new_session=False):
    started = time.monotonic()
    done = subprocess.run([binary], stdin=stdin, capture_output=True, timeout=120,
                          env={**os.environ, **env}, start_new_session=start_new_session)
    return done, time.monotonic() - started


def case_file_output(binary):
    done, took = plain_run(binary, {"LANG": "C.UTF-8"})
    text = done.stdout.decode("utf-8")
    return [(done.returncode == 0, f"exit status {done.returncode}"),
            (b"\x1b" not in done.stdout, "no escape sequences in a file"),
            ("Во времена" in text and "VELORIA!" in text, "the texts are written"),
            (abs(took - SHOW_SECONDS) / SHOW_SECONDS < 0.03,
             f"the show keeps its time without a terminal: {took:.2f} s ({SHOW_SECONDS:.2f} s)")]


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


def pty_case(binary, columns, lines, env):
    show = PtyShow([binary], columns=columns, lines=lines, env=env)
    show.type(b"\r")  # typed ahead: the show ends by itself after the gallery
    status = show.finish(SHOW_SECONDS + 15)
    return show, status


def case_dumb_terminal(binary):
    show, status = pty_case(binary, 80, 24, {"TERM": "dumb"})
    return [(os.WIFEXITED(status) and os.WEXITSTATUS(status) == 0, f"exit status {status}"),
            (b"\x1b" not in show.raw(), "no escape sequences on a dumb terminal"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def case_tiny_terminal(binary):
    show, status = pty_case(binary, 20, 5, {"COLORTERM": "truecolor"})
    raw = show.raw()
    return [(os.WIFEXITED(status) and os.WEXITSTATUS(status) == 0, f"exit status {status}"),
            ("▀".encode() in raw, "the gallery is drawn on a 20 x 5 terminal"),
            (all(s in raw[raw.rfind(b"\x18\x1b\\"):] for s in RESTORED + [b"\x1b[8;5;20t"]),
             "size, autowrap, colours and cursor restored"),
            (show.modes_now() == show.modes_before, "terminal modes as they were")]


def interrupt_case(at_seconds, signum):
    def run(binary):
        show = PtyShow([binary], columns=150, lines=51, env={"COLORTERM": "truecolor"})
        show.pump(at_seconds)
        os.kill(show.pid, signum)
        status = show.finish(10)
        raw = show.raw()
        restore = raw[raw.rfind(b"\x18\x1b\\"):] if b"\x18\x1b\\" in raw else b""
        expected = [b"\x1b[8;51;150t"] if b"\x1b[8;" in raw else []
        if b"\x1b]10;" in raw:
            expected += RESTORED[1:3]
        if b"\x1b[?25l" in raw:
            expected.append(b"\x1b[?25h")
        if b"\x1b[?7l" in raw:
            expected.append(b"\x1b[?7h")
        name = signal.Signals(signum).name
        return [(os.WIFSIGNALED(status) and os.WTERMSIG(status) == signum,
                 f"{name} at {at_seconds:.1f} s ends the show by the signal ({status})"),
                (all(s in restore for s in expected), f"everything changed is restored after {name}"),
                (show.modes_now() == show.modes_before, f"terminal modes as they were after {name}")]
    return run


CASES = {
    "stdout to a file, stdin closed": case_file_output,
    "no terminal at all": case_no_terminal,
    "LANG=C": case_c_locale,
    "no sound server": case_no_sound,
    "TERM=dumb": case_dumb_terminal,
    "a 20 x 5 terminal": case_tiny_terminal,
}
for i, (at, sig) in enumerate([(0.3, signal.SIGINT), (1.5, signal.SIGTERM), (3.0, signal.SIGHUP),
                               (4.2, signal.SIGINT), (6.0, signal.SIGTERM), (9.0, signal.SIGHUP),
                               (12.0, signal.SIGINT), (15.0, signal.SIGTERM)]):
    CASES[f"{signal.Signals(sig).name} at {at} s"] = interrupt_case(at, sig)


def main(binary):
    results = {}

    def run(name, case):
        try:
            results[name] = case(binary)
        except Exception as error:  # a case that breaks is a failed case
            results[name] = [(False, f"{type(error).__name__}: {error}")]

    threads = [threading.Thread(target=run, args=item) for item in CASES.items()]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    passed = failed = 0
    for name in CASES:
        ok = all(good for good, _ in results[name])
        passed, failed = passed + ok, failed + (not ok)
        print(f"{'ok  ' if ok else 'FAIL'} {name}")
        for good, what in results[name]:
            print(f"       {'ok  ' if good else 'FAIL'} {what}")
    print(f"faults: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
