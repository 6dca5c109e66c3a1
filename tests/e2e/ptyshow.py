"""Runs the real show in a pseudo-terminal of its own and records what it writes, with the
time each chunk arrived, so that end-to-end tests can check the screen text and the pace."""

import fcntl
import os
import pty
import re
import select
import struct
import termios
import time

ESCAPE = re.compile(rb"\x1b\[[0-9;?]*[ -/]*[@-~]|\x1b\][^\x07]*\x07|\x1b[PX^_].*?\x1b\\", re.S)


def start_in_pty(argv, env, slave, before_exec=lambda: None):
    """Runs argv in a new session whose controlling terminal, and standard streams, are the
    pseudo-terminal's slave side; returns the child's pid."""
    pid = os.fork()
    if pid == 0:
        try:
            os.setsid()
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
            for fd in (0, 1, 2):
                os.dup2(slave, fd)
            before_exec()
            os.execvpe(argv[0], argv, env)
        finally:
            os._exit(127)
    return pid


class PtyShow:
    def __init__(self, argv, columns=80, lines=24, env=None, answer=None, bytes_per_second=None):
        """answer: what the terminal replies each time it is asked for its device attributes
        (None: it never replies). bytes_per_second: how fast the terminal reads (None: at once)."""
        self.answer, self.seen_tail = answer, b""
        self.bytes_per_second = bytes_per_second
        self.master, self.slave = pty.openpty()
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", lines, columns, 0, 0))
        self.modes_before = termios.tcgetattr(self.slave)
        self.chunks = []  # (seconds since start, bytes)
        self.started = time.monotonic()
        self.pid = start_in_pty(argv, {**os.environ, "LANG": "C.UTF-8", "TERM": "xterm-256color",
                                       **(env or {})}, self.slave)
        self.status = None
        self.ended = None  # seconds from the start to the program's exit

    def pump(self, seconds):
        """Reads output for up to the given time, or until the program has exited."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            ready, _, _ = select.select([self.master], [], [], 0.05)
            if ready:
                try:
                    data = os.read(self.master, 4096 if self.bytes_per_second else 65536)
                except OSError:
                    data = b""
                if data:
                    self.chunks.append((time.monotonic() - self.started, data))
                    self.reply_if_asked()
                    if self.bytes_per_second:
                        time.sleep(len(data) / self.bytes_per_second)
            if self.status is None:
                pid, status = os.waitpid(self.pid, os.WNOHANG)
                if pid:
                    self.status = status
                    self.ended = time.monotonic() - self.started
            if self.status is not None and not ready:
                return

    def wait_for(self, needle, seconds):
        """Pumps until the raw output contains needle; returns the time it arrived, or None."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            found = self.arrival(needle)
            if found is not None:
                return found
            if self.status is not None:
                return None
            self.pump(0.05)
        return self.arrival(needle)

    def arrival(self, needle):
        """The time at which the chunk completing the first occurrence of needle arrived."""
        seen = b""
        for at, data in self.chunks:
            seen += data
            if needle in seen:
                return at
        return None

    def reply_if_asked(self):
        if self.answer is None:
            return
        # The last two bytes are kept, in case a question is split between two reads.
        recent = self.seen_tail + self.chunks[-1][1]
        for _ in range(recent.count(b"\x1b[c")):
            self.type(self.answer)
        self.seen_tail = recent[-2:]

    def resize(self, columns, lines):
        """Changes the terminal's size; the kernel tells the program with SIGWINCH."""
        fcntl.ioctl(self.master, termios.TIOCSWINSZ, struct.pack("HHHH", lines, columns, 0, 0))

    def type(self, text):
        os.write(self.master, text)

    def finish(self, seconds=10):
        self.pump(seconds)
        if self.status is None:
            os.kill(self.pid, 9)
            _, self.status = os.waitpid(self.pid, 0)
            self.ended = time.monotonic() - self.started
        return self.status

    def raw(self):
        return b"".join(data for _, data in self.chunks)

    def text(self):
        return ESCAPE.sub(b"", self.raw()).decode("utf-8", "replace").replace("\r\n", "\n")

    def modes_now(self):
        return termios.tcgetattr(self.slave)
