"""What the end-to-end tests and the measurements share: the show's schedule, read from the
show_schedule tool; one pseudo-terminal that runs a program and timestamps what it writes;
and how checks are named, printed and failed."""

import fcntl
import json
import os
import pty
import select
import signal
import struct
import subprocess
import termios
import time

import sequences


class Schedule:
    """The show's schedule and the gallery's geometry, as show_schedule prints them; times in
    seconds, for the real program or, divided by the speedup, for the fast build."""

    def __init__(self, tool, fast=False):
        self.data = json.loads(subprocess.run([tool], check=True, capture_output=True,
                                              text=True).stdout)
        self.speedup = self.data["fastSpeedup"] if fast else 1

    def seconds(self, name):
        """A time of the schedule (name without its "Ms"), at this build's speed."""
        return self.data[name + "Ms"] / 1000 / self.speedup

    def __getitem__(self, name):
        return self.data[name]

    @property
    def opening(self):
        return self.seconds("musicStart")

    @property
    def slides(self):
        return self.seconds("galleryStart") - self.seconds("musicStart")

    @property
    def gallery(self):
        return self.seconds("gallery")

    @property
    def show(self):
        return self.seconds("show")

    def size_request(self, index):
        """The bytes of the show's index-th size request (-1: the gallery's)."""
        size = self.data["sizes"][index]
        return sequences.size_request(size["columns"], size["lines"])

    def slide_lines(self):
        return [line for slide in self.data["slides"] for line in slide]


class Terminal:
    """A program on a pseudo-terminal of its own, as its controlling terminal and standard
    streams. Every chunk it writes is kept with the time it arrived, in seconds from the
    start; the terminal answers the questions it is given answers for, may take the sizes
    the program asks for, and may read slowly.

    replies: {question: answer} written back each time a question arrives.
    follow_size_requests: the pseudo-terminal takes each size the program asks for.
    bytes_per_second: how fast the terminal reads (None: at once).
    before_exec: run in the child just before exec, with the pty as fds 0, 1 and 2.
    on_output: called with (time, bytes) for each chunk as it arrives.
    keep_output: whether the chunks are kept; a relay that runs for minutes and passes on
    gigabytes keeps none, so that it costs the machine no more than passing them on."""

    def __init__(self, argv, columns=80, lines=24, env=None, replies=None,
                 follow_size_requests=False, bytes_per_second=None, pixels=(0, 0),
                 before_exec=lambda: None, on_output=lambda at, data: None, clean_env=False,
                 keep_output=True):
        self.replies = replies or {}
        self.keep_output = keep_output
        self.follow_size_requests = follow_size_requests
        self.bytes_per_second = bytes_per_second
        self.on_output = on_output
        self.master, self.slave = pty.openpty()
        self.pixels = pixels
        self.original_size = (columns, lines)
        self.resize(columns, lines)
        self.modes_before = termios.tcgetattr(self.slave)
        self.chunks = []  # (seconds since start, bytes)
        self.run_delays = []  # the program's time waiting for a CPU when each chunk arrived
        self.typed = []  # (seconds since start, bytes) typed into the program
        self.ends = []  # offset in raw after each chunk
        self.buffer = bytearray()
        self.sizes = []  # (seconds since start, columns, lines) as the program asked for them
        self.status = self.rusage = self.ended = None
        base = {} if clean_env else {**os.environ, "LANG": "C.UTF-8", "TERM": "xterm-256color"}
        stamp_read, stamp_write = os.pipe()
        self.started = time.monotonic()
        self.pid = os.fork()
        if self.pid == 0:
            try:
                os.close(stamp_read)
                os.setsid()
                fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
                for fd in (0, 1, 2):
                    os.dup2(self.slave, fd)
                before_exec()
                os.write(stamp_write, struct.pack("d", time.monotonic()))
                os.execvpe(argv[0], argv, {**base, **(env or {})})
            finally:
                os._exit(127)
        os.close(stamp_write)
        self.exec_at = struct.unpack("d", os.read(stamp_read, 8))[0] - self.started
        os.close(stamp_read)
        self.exit_fd = os.pidfd_open(self.pid)

    # ------------------------------------------------------------------ driving the program

    def pump(self, seconds, extra_inputs=()):
        """Reads output for up to the given time, or until the program has exited and all it
        wrote has been read. Data on extra_inputs (file descriptors) is typed into the
        program."""
        deadline = time.monotonic() + seconds
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return
            watched = [self.master, *extra_inputs] + ([self.exit_fd] if self.status is None else [])
            try:
                ready, _, _ = select.select(watched, [], [], min(left, 0.05))
            except InterruptedError:
                continue
            if self.master in ready:
                self._read()
            for fd in extra_inputs:
                if fd in ready:
                    self.type(os.read(fd, 4096))
            if self.exit_fd in ready:
                _, self.status, self.rusage = os.wait4(self.pid, 0)
                self.ended = time.monotonic() - self.started
            if self.status is not None and self.master not in ready:
                return

    def _read(self):
        try:
            data = os.read(self.master, 4096 if self.bytes_per_second else 65536)
        except OSError:
            return
        at = time.monotonic() - self.started
        tail = len(self.buffer)
        self.buffer += data
        if self.keep_output:
            self.chunks.append((at, data))
            self.run_delays.append(run_delay(self.pid))
            self.ends.append(len(self.buffer))
        # What this chunk completes: a question or request may have begun in the one before.
        base = max(0, tail - 32)
        seen = bytes(self.buffer[base:])
        for question, answer in self.replies.items():
            at_question = seen.find(question)
            while at_question >= 0:
                if base + at_question + len(question) > tail:
                    self.type(answer)
                at_question = seen.find(question, at_question + 1)
        for request in sequences.SIZE_REQUEST.finditer(seen):
            if base + request.end() > tail:
                lines, columns = int(request.group(1)), int(request.group(2))
                self.sizes.append((at, columns, lines))
                if self.follow_size_requests:
                    self.resize(columns, lines)
        self.on_output(at, data)
        if not self.keep_output:
            del self.buffer[:-32]  # only what a question split across chunks needs
        if self.bytes_per_second:
            time.sleep(len(data) / self.bytes_per_second)

    def wait_for(self, needle, seconds):
        """Pumps until the output contains needle; returns the time it arrived, or None."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            found = self.arrival(needle)
            if found is not None or self.status is not None:
                return found
            self.pump(0.05)
        return self.arrival(needle)

    def type(self, data):
        self.typed.append((time.monotonic() - self.started, data))
        os.write(self.master, data)

    def resize(self, columns, lines):
        """Changes the terminal's size; the kernel tells the program with SIGWINCH."""
        fcntl.ioctl(self.master, termios.TIOCSWINSZ,
                    struct.pack("HHHH", lines, columns, *self.pixels))

    def signal(self, signum):
        os.kill(self.pid, signum)

    def finish(self, seconds=10):
        """Reads until the program exits, for up to the given time, then kills it."""
        self.pump(seconds)
        if self.status is None:
            os.kill(self.pid, signal.SIGKILL)
            _, self.status, self.rusage = os.wait4(self.pid, 0)
            self.ended = time.monotonic() - self.started
        return self.status

    def close(self):
        for fd in (self.master, self.slave, self.exit_fd):
            os.close(fd)

    # ------------------------------------------------------------------ what was written

    def raw(self):
        return bytes(self.buffer)

    def text(self):
        return sequences.ESCAPE.sub(b"", self.raw()).decode("utf-8", "replace").replace("\r\n", "\n")

    def time_at(self, offset):
        """When the byte at offset arrived (None: not yet)."""
        for end, (at, _) in zip(self.ends, self.chunks):
            if end > offset:
                return at
        return None

    def arrival(self, needle, start=0):
        """When the chunk completing the first occurrence of needle arrived, or None."""
        found = self.buffer.find(needle, start)
        return None if found < 0 else self.time_at(found + len(needle) - 1)

    def after(self, needle):
        """The bytes written after the first occurrence of needle (empty if none)."""
        found = self.buffer.find(needle)
        return b"" if found < 0 else bytes(self.buffer[found + len(needle):])

    def first_byte(self):
        return self.chunks[0][0] if self.chunks else None

    def answer_waits(self):
        """Seconds the program spent waiting for the terminal's answers: from each device
        attributes query, which ends every batch of questions, to the program's next output.
        A wait is real time whatever the program's clocks do."""
        waits, start = 0.0, 0
        while (found := self.buffer.find(sequences.ATTRIBUTES_QUERY, start)) >= 0:
            start = found + len(sequences.ATTRIBUTES_QUERY)
            index = next(i for i, end in enumerate(self.ends) if end >= start)
            if index + 1 < len(self.chunks):
                waits += self.chunks[index + 1][0] - self.chunks[index][0]
            elif self.ended is not None:
                waits += self.ended - self.chunks[index][0]
        return waits

    def run_delay_between(self, start, end):
        """Seconds the program's main thread spent runnable but waiting for a CPU between two
        times of arrival (as sampled when chunks arrived)."""
        known = [(at, d) for (at, _), d in zip(self.chunks, self.run_delays) if d is not None]
        before = [d for at, d in known if at <= start]
        until = [d for at, d in known if at <= end]
        return (until[-1] - before[-1]) if before and until else 0.0

    def schedule_kept(self, expected, gallery_request, bound=0.01):
        """Whether the program took its scheduled time, within the bound, from its first byte
        to the bytes that put the terminal back (or its exit): its request for the original size
        after the gallery's, or the restoring bytes. What its clocks do not scale is
        taken out: the waits for the terminal's answers and, before the gallery, the time the
        program spent waiting for a CPU on a busy machine. The pauses before the gallery each
        start from the end of the one before, so a late wake-up adds to the show; the gallery
        keeps an absolute pace from its first pixel, so a busy machine adds nothing there."""
        start = self.first_byte()
        restore = self.buffer.rfind(sequences.RESTORE_START)
        gallery_at = self.buffer.find(gallery_request)
        size_back = (self.buffer.find(sequences.size_request(*self.original_size), gallery_at)
                     if gallery_at >= 0 else -1)
        ends = [at for at in (size_back, restore) if at >= 0]
        end = self.time_at(min(ends)) if ends else self.ended
        if start is None or end is None:
            return False, "the show wrote nothing, or did not end"
        gallery = self.arrival(gallery_request)
        waits = self.answer_waits()
        busy = self.run_delay_between(start, end if gallery is None else gallery)
        took = end - start - waits
        ok = expected * (1 - bound) <= took and took - busy <= expected * (1 + bound)
        return ok, (f"the show keeps its schedule: {took:.3f} s ({expected:.3f} s), first byte to "
                    f"the end less {waits:.3f} s waiting for answers; before the gallery "
                    f"{busy:.3f} s waiting for a CPU")

    def answered_at_once(self, question, within=0.1):
        """Whether the program went on as soon as the question's answer was typed: the
        question ended a read (the program had waited for the answer, as the terminal's
        answer is typed when the question is read) and its next output came within the given
        time. Neither holds when a busy machine kept the terminal or the program from running
        until the program's wait for the answer was over."""
        found = self.buffer.find(question)
        if found < 0:
            return True  # never asked
        end = found + len(question)
        index = next(i for i, e in enumerate(self.ends) if e >= end)
        return (self.ends[index] == end and index + 1 < len(self.chunks)
                and self.chunks[index + 1][0] - self.chunks[index][0] < within)

    def modes_now(self):
        return termios.tcgetattr(self.slave)


def run_delay(pid):
    """Seconds the process's main thread has spent runnable but waiting for a CPU, or None once
    it has gone (the second field of its schedstat)."""
    try:
        with open(f"/proc/{pid}/task/{pid}/schedstat") as f:
            return int(f.read().split()[1]) / 1e9
    except (OSError, IndexError, ValueError):
        return None


class Checks:
    """Named checks: each is a condition and what it says, printed with ok or FAIL. Printed as
    they are made, or (live=False, for cases run side by side) when the case is reported."""

    def __init__(self, live=True):
        self.live, self.results = live, []

    def __call__(self, ok, what):
        ok = bool(ok)
        self.results.append((ok, what))
        if self.live:
            print(line(ok, what), flush=True)
        return ok

    @property
    def passed(self):
        return all(ok for ok, _ in self.results)

    def report(self, name):
        print(line(self.passed, name))
        for ok, what in self.results:
            print("       " + line(ok, what))

    def exit_status(self):
        failed = sum(not ok for ok, _ in self.results)
        print(f"{failed} failed" if failed else "all passed")
        return 1 if failed else 0


def line(ok, what):
    return f"{'ok  ' if ok else 'FAIL'} {what}"
