#!/usr/bin/env python3
"""Runs the show in real terminals and reports how each one shows it.

    terminals.py BINARY SCHEDULE MEDIA OUT_DIR [NAME...]   measures the terminals (all, or
                                            those named) on a private X display and prints a
                                            markdown table; SCHEDULE is the show_schedule tool,
                                            MEDIA the build's painted pictures (media-data)
    terminals.py inside WORK BINARY SCHEDULE         run by the terminal under test: see Inside

The terminals: xterm (as Debian ships it, and as a VT340 with and without window operations),
kitty, mlterm, Konsole, xfce4-terminal (VTE), alacritty, rxvt-unicode, tmux and GNU screen
inside xterm, each on a private X display with a home and configuration of its own (Konsole
and xfce4-terminal with a D-Bus session of their own too), and TERM=dumb in a pseudo-terminal.

Each X terminal runs this helper ("inside"), which asks its terminal a few questions, starts the
show on a pseudo-terminal of its own and copies the bytes both ways, watching them go by: it
notes which canvas the show picked, the sizes the terminal took, the terminal's replies to the
show's query, and the presenter's counters (VELORIA_STATS=1). It stops the show for a moment
once a slide is complete so that the driver can photograph it, and at the final wait it tells
the driver, then presses Enter. When the show has ended the driver photographs the terminal as
the show left it; the helper then asks where the cursor is, writes a prompt there as a shell
would, and the driver photographs that too. Before and after the show it asks the same
questions (cursor shown, autowrap, default colours, graphic rendition, tmux's pane title;
autowrap also by writing a line longer than the screen) and shows the same plain test line on
a cleared screen; the driver compares the colours of the two screenshots. Plain text that looks
different after the show, or an answer that changed, is reported as not restored. The last
picture counts as kept when the screenshot after the show holds it as the one at the final wait
did, or drawn again whole at the terminal's size then (see last_picture_kept), and the prompt
as on a fresh line when the cursor was left in the first column.

In real time (TERMINALS_REAL_TIME=1) the helper runs the show on its terminal directly, as a
viewer does, and watches none of its bytes (see Inside.run_directly): the frame counts are
the terminal's own, not a relay's.
"""

import fcntl
import json
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import termios
import time
import tty

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))
import sequences  # noqa: E402
from harness import Schedule, Terminal  # noqa: E402

DISPLAYS = range(70, 80)
FONT = ["-fa", "DejaVu Sans Mono", "-fs", "9"]
GALLERY_SHOTS = 8  # taken 1.3 s apart while the fast show's gallery runs (about 12 s)
# The real program in real time (TERMINALS_REAL_TIME=1, set by terminals.sh): its gallery
# takes about 235 s instead of the fast build's 12.
REAL_TIME = os.environ.get("TERMINALS_REAL_TIME") == "1"
GALLERY_LIMIT = 300 if REAL_TIME else 120  # seconds, after which the show is ended regardless
RUN_LIMIT = 480 if REAL_TIME else 180

TEST_LINE = b"plain text in the default colours, cursor here>"
PROMPT = b"the prompt comes back here$ "


# ---------------------------------------------------------------- inside the terminal under test

def read_replies(fd, until, seconds):
    """Reads what the terminal sends until the pattern `until` is matched or time is up."""
    got = b""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not re.search(until, got):
        ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
        if not ready:
            break
        got += os.read(fd, 4096)
    return got


def cursor_position(fd_in, fd_out):
    os.write(fd_out, b"\x1b[6n")
    m = re.search(rb"\x1b\[(\d+);(\d+)R", read_replies(fd_in, rb"\x1b\[\d+;\d+R", 2))
    return (int(m.group(1)), int(m.group(2))) if m else None


def ask_modes(fd_in, fd_out):
    """The terminal's own answers about the states the show changes; None where unanswered."""
    os.write(fd_out, b"\x1b[?25$p\x1b[?7$p\x1b]10;?\x1b\\\x1b]11;?\x1b\\\x1bP$qm\x1b\\\x1b[c")
    got = read_replies(fd_in, rb"\x1b\[\?[0-9;]*c", 2)

    def mode(n):
        m = re.search(rb"\x1b\[\?%d;(\d)\$y" % n, got)
        return {b"1": "set", b"2": "reset"}.get(m.group(1), "unknown") if m else None

    def colour(n):
        m = re.search(rb"\x1b\]%d;([^\x07\x1b]*)" % n, got)
        return m.group(1).decode() if m else None

    sgr = re.search(rb"\x1bP1\$r([0-9;:]*)m", got)
    answer = {"cursor": mode(25), "autowrap": mode(7), "foreground": colour(10),
              "background": colour(11), "rendition": sgr.group(1).decode() if sgr else None}
    # Autowrap by behaviour, which every terminal answers: a line longer than the screen
    # either wraps (the cursor ends a few columns into the next row) or stays in the last column.
    columns = terminal_size(fd_out)[0]
    os.write(fd_out, b"\r\x1b[K")
    os.write(fd_out, b"w" * (columns + 5))
    at = cursor_position(fd_in, fd_out)
    answer["wraps"] = None if at is None else at[1] < columns
    os.write(fd_out, b"\r\x1b[K" + (b"\x1b[A\x1b[K" if answer["wraps"] else b""))
    if os.environ.get("TMUX"):
        # tmux answers none of the mode questions itself, but tells its pane's state.
        pane = subprocess.run(["tmux", "display", "-p", "#{cursor_flag}\t#{wrap_flag}\t#{pane_title}"],
                              capture_output=True, text=True, timeout=10).stdout.rstrip("\n")
        cursor, wrap, title = (pane.split("\t") + ["", "", ""])[:3]
        answer.update(cursor={"1": "set", "0": "reset"}.get(cursor), title=title,
                      autowrap={"1": "set", "0": "reset"}.get(wrap))
    return answer


def terminal_size(fd):
    rows, columns, xpixels, ypixels = struct.unpack(
        "HHHH", fcntl.ioctl(fd, termios.TIOCGWINSZ, b"\0" * 8))
    return columns, rows, xpixels, ypixels


class Inside:
    """Runs the show under the terminal on fd 0/1, relaying and watching its bytes."""

    def __init__(self, work, binary, schedule_tool):
        self.work, self.binary = work, binary
        self.schedule = Schedule(schedule_tool, fast=not REAL_TIME)
        self.slides_size = self.schedule.size_request(1)
        self.gallery_size = self.schedule.size_request(-1)
        self.started = time.monotonic()
        self.result = {"sizes": [], "canvas_bytes": {}, "replies": ""}

    def event(self, name, **extra):
        extra.update(event=name, at=round(time.monotonic() - self.started, 3),
                     size=terminal_size(1)[:2])
        with open(os.path.join(self.work, "events"), "a") as f:
            f.write(json.dumps(extra) + "\n")

    def wait_for_driver(self, name, seconds=20):
        ack = os.path.join(self.work, "ack-" + name)
        deadline = time.monotonic() + seconds
        while not os.path.exists(ack) and time.monotonic() < deadline:
            time.sleep(0.05)

    def run(self):
        self.result["size_at_start"] = terminal_size(1)[:2]
        self.result["term"] = os.environ.get("TERM")
        self.result["colorterm"] = os.environ.get("COLORTERM")
        self.result["term_program"] = os.environ.get("TERM_PROGRAM")
        saved = termios.tcgetattr(0)
        tty.setraw(0)
        try:
            self.result["before"] = ask_modes(0, 1)
            # The same plain screen before and after the show, photographed both times: the
            # colours the terminal uses for plain text must be the same.
            os.write(1, b"\x1b[H\x1b[2J" + TEST_LINE)
            self.event("plain")
            self.wait_for_driver("plain-1")
            os.write(1, b"\x1b[H\x1b[2J")
            if REAL_TIME:
                # The show gets the terminal's modes as a shell leaves them.
                termios.tcsetattr(0, termios.TCSANOW, saved)
                self.run_directly()
                tty.setraw(0)
            else:
                self.relay()
            # As the show left the terminal, before anything else is written to it: the driver
            # photographs the last picture after a second in which the terminal takes back
            # its size; only then are the size and the cursor asked for.
            self.event("ended")
            self.wait_for_driver("ended")
            self.result["size_at_end"] = terminal_size(1)[:2]
            self.result["cursor_after"] = [cursor_position(0, 1), terminal_size(1)[1]]
            # A shell's prompt comes back wherever the cursor is (bash writes no newline first).
            os.write(1, PROMPT)
            self.event("prompt")
            self.wait_for_driver("prompt")
            # The questions come last: the autowrap test writes a line longer than the screen,
            # which scrolls it when the cursor is on its last row.
            self.result["after"] = ask_modes(0, 1)
        finally:
            termios.tcsetattr(0, termios.TCSANOW, saved)
        os.write(1, b"\x1b[H\x1b[2J" + TEST_LINE)
        with open(os.path.join(self.work, "result.json"), "w") as f:
            json.dump(self.result, f, indent=1)
        self.event("plain")
        time.sleep(120)  # the driver photographs the terminal, then ends it

    def run_directly(self):
        """In real time the show runs on this terminal itself, as a viewer runs it: a relay's
        second pseudo-terminal costs the machine about as much as the terminal's own, and took
        frames from the slower terminals. Nothing is watched: the events follow the show's
        schedule (a slide is held for seconds, time enough to photograph it), and at the final
        wait Enter is put into the terminal's input as if typed."""
        stats = os.path.join(self.work, "stats")
        pid = os.fork()
        if pid == 0:
            try:
                os.dup2(os.open(stats, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644), 2)
                os.execve(self.binary, [self.binary], {**os.environ, "VELORIA_STATS": "1"})
            finally:
                os._exit(127)
        started = time.monotonic()
        status = None

        def wait_until(seconds):
            """Sleeps until that time into the show; False if the show ended before it."""
            nonlocal status
            while status is None and time.monotonic() < started + seconds:
                time.sleep(0.1)
                done, code = os.waitpid(pid, os.WNOHANG)
                if done:
                    status = code
            return status is None

        schedule = self.schedule
        gallery = schedule.opening + schedule.slides
        # Two seconds into the first slide's hold (its lines come 30 ms apart).
        if wait_until(schedule.opening + len(schedule["slides"][0]) * 0.03 + 2):
            self.event("slide")
            self.wait_for_driver("slide")
        if wait_until(gallery):
            self.event("gallery")
        if wait_until(gallery + schedule.gallery + 3):
            self.event("waiting")
            self.wait_for_driver("waiting")
            fcntl.ioctl(0, termios.TIOCSTI, b"\r")
        if wait_until(gallery + schedule.gallery + 13):
            os.kill(pid, signal.SIGKILL)
            status = os.waitpid(pid, 0)[1]
        self.result["status"] = os.waitstatus_to_exitcode(status)
        self.result["canvas_bytes"] = None  # not watched
        self.result["gallery_seconds"] = round(schedule.gallery, 2)
        with open(stats) as f:
            self.result["stats"] = f.read().strip()

    def relay(self):
        stats = os.path.join(self.work, "stats")
        counts = {"sixel images": 0, "kitty images": 0, "half blocks": 0,
                  "truecolour attributes": 0, "256-colour attributes": 0}
        patterns = {"sixel images": sequences.CANVASES["sixel"],
                    "kitty images": sequences.CANVASES["kitty"],
                    "half blocks": sequences.CANVASES["half blocks"],
                    "truecolour attributes": sequences.TRUECOLOUR,
                    "256-colour attributes": sequences.COLOUR_256}
        state = {"phase": "opening", "newlines": 0, "last_output": 0.0, "gallery_at": None,
                 "tail": b""}

        def watch(at, data):
            state["last_output"] = at
            seen = state["tail"] + data
            if state["phase"] == "opening" and self.slides_size in seen:
                state["phase"], state["newlines"] = "slides", 0
                self.event("slides")
            if state["phase"] != "gallery" and self.gallery_size in seen:
                state["phase"], state["gallery_at"] = "gallery", at
                self.event("gallery")
            if state["phase"] == "slides":
                state["newlines"] += data.count(b"\n")
            if state["phase"] == "gallery":
                for name, pattern in patterns.items():
                    counts[name] += (len(pattern.findall(seen))
                                     - len(pattern.findall(state["tail"])))
            state["tail"] = seen[-32:]
            os.write(1, data)

        def stderr_to_stats():
            os.dup2(os.open(stats, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644), 2)

        columns, lines, *pixels = terminal_size(1)
        show = Terminal([self.binary], columns, lines, pixels=pixels, clean_env=True,
                        env={**os.environ, "VELORIA_STATS": "1"}, before_exec=stderr_to_stats,
                        on_output=watch, keep_output=False)
        resized = []
        signal.signal(signal.SIGWINCH, lambda *_: resized.append(1))
        while show.status is None:
            if resized:
                resized.clear()
                columns, lines, *show.pixels = terminal_size(1)
                show.resize(columns, lines)
                self.result["sizes"].append([state["phase"], [columns, lines]])
            show.pump(0.05, extra_inputs=[0])
            now = time.monotonic() - show.started
            phase, gallery_at = state["phase"], state["gallery_at"]
            # A slide is complete when the lines stop for a while: hold the show for a picture.
            if phase == "slides" and state["newlines"] >= 20 and now - state["last_output"] > 0.15:
                state["phase"] = "slide-held"
                show.signal(signal.SIGSTOP)
                time.sleep(0.5)
                self.event("slide")
                self.wait_for_driver("slide")
                show.signal(signal.SIGCONT)
            # The final wait: the gallery has run its course and nothing more is drawn.
            if phase == "gallery" and (now - gallery_at > 10 and now - state["last_output"] > 1.5
                                       or now - gallery_at > GALLERY_LIMIT):
                state["phase"] = "waiting"
                self.event("waiting")
                self.wait_for_driver("waiting")
                show.type(b"\r")
        show.close()
        gallery_at = state["gallery_at"]
        replies = b"".join(data for at, data in show.typed
                           if gallery_at is not None and gallery_at <= at < gallery_at + 2)
        self.result["status"] = os.waitstatus_to_exitcode(show.status)
        self.result["canvas_bytes"] = counts
        self.result["replies"] = repr(replies)[2:-1]
        self.result["gallery_seconds"] = (round(state["last_output"] - gallery_at, 2)
                                          if gallery_at is not None else None)
        with open(stats) as f:
            self.result["stats"] = f.read().strip()


# ---------------------------------------------------------------- the driver, outside

class Display:
    def __init__(self, log):
        for number in DISPLAYS:
            if not os.path.exists(f"/tmp/.X11-unix/X{number}") and \
                    not os.path.exists(f"/tmp/.X{number}-lock"):
                break
        else:
            raise RuntimeError("no free display among :70 ... :79")
        self.name = f":{number}"
        self.process = subprocess.Popen(
            ["Xvfb", self.name, "-screen", "0", "1600x1200x24", "-br", "-nolisten", "tcp"],
            stdout=log, stderr=log, stdin=subprocess.DEVNULL, start_new_session=True)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                return
            time.sleep(0.05)
        raise RuntimeError("Xvfb did not start")

    def stop(self):
        stop_group(self.process)


def descendants(roots):
    """The given processes and every process below them, from /proc."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    parent = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(parent, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    found, todo = [], list(roots)
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo += children.get(pid, [])
    return found


def sweep(work):
    """Kills whatever is still running from this measurement: the helpers started inside the
    terminal carry the work folder in their arguments, and the show runs below them."""
    mine = []
    for entry in os.listdir("/proc"):
        if entry.isdigit() and int(entry) != os.getpid():
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    if work.encode() in f.read():
                        mine.append(int(entry))
            except OSError:
                pass
    for pid in descendants(mine):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def stop_group(process):
    """Ends a process started in a session of its own and whatever is left in its group (a
    D-Bus daemon started for the terminal outlives it for a moment)."""
    if process is None:
        return
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGTERM)
            process.wait(3)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            pass
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait()


def terminal_command(name, inside, work):
    # Each terminal opens at its own default size unless TERMINALS_SIZE (e.g. 115x51, the
    # gallery's console) asks for another.
    size = os.environ.get("TERMINALS_SIZE")
    columns, lines = size.split("x") if size else (None, None)
    xterm = ["xterm", *FONT] + (["-geometry", size] if size else [])
    kitty_size = ["-o", f"initial_window_width={columns}c",
                  "-o", f"initial_window_height={lines}c"] if size else []
    return {
        "xterm": xterm + ["-e", *inside],
        "xterm -ti vt340": xterm + ["-ti", "vt340", "-e", *inside],
        "xterm -ti vt340 +allowWindowOps": xterm + ["-ti", "vt340", "-xrm",
                                                    "XTerm*allowWindowOps: true", "-e", *inside],
        "kitty": ["kitty", "--config", "NONE", "-o", "font_family=DejaVu Sans Mono",
                  "-o", "font_size=9", *kitty_size, *inside],
        "mlterm": ["mlterm", "--km", "UTF-8", *(["-g", size] if size else []), "-e", *inside],
        # Konsole and xfce4-terminal each get a D-Bus session of their own, never the user's;
        # Konsole's font, size and bars come from the private configuration (konsole_config).
        "konsole": ["dbus-run-session", "konsole", "--nofork", "-e", *inside],
        "xfce4-terminal": ["dbus-run-session", "xfce4-terminal", "--disable-server",
                           "--hide-menubar", "--hide-toolbar", "--hide-scrollbar",
                           "--font=DejaVu Sans Mono 9", *(["--geometry", size] if size else []),
                           "-x", *inside],
        "alacritty": ["alacritty", "--config-file", "/dev/null",
                      "-o", "font.normal.family=DejaVu Sans Mono", "-o", "font.size=9",
                      *(["-o", f"window.dimensions.columns={columns}",
                         "-o", f"window.dimensions.lines={lines}"] if size else []),
                      "-e", *inside],
        "urxvt": ["urxvt", "-fn", "xft:DejaVu Sans Mono:size=9", "+sb",
                  *(["-geometry", size] if size else []), "-e", *inside],
        "tmux (in xterm -ti vt340)": xterm + ["-ti", "vt340", "-tn", "xterm-256color", "-e",
                                              "tmux", "-S", f"{work}/tmux", "-f", "/dev/null",
                                              "new-session", " ".join(inside)],
        "screen (in xterm -ti vt340)": xterm + ["-ti", "vt340", "-tn", "xterm-256color", "-e",
                                                "screen", "-S", SCREEN_SESSION, "-c",
                                                "/dev/null", *inside],
    }[name]


# Qt's saved state of Konsole's main window with both of its toolbars hidden (the byte after
# each toolbar's name is 0, where Konsole writes 1 for a toolbar shown): without it the toolbar
# would take the top of every screenshot.
KONSOLE_WINDOW_STATE = (
    "AAAA/wAAAAD9AAAAAQAAAAAAAAAAAAAAAPwCAAAAAvsAAAAiAFEAdQBpAGMAawBDAG8AbQBtAGEAbgBkAHMARABvAGMA"
    "awAAAAAA/////wAAATcA////+wAAABwAUwBTAEgATQBhAG4AYQBnAGUAcgBEAG8AYwBrAAAAAAD/////AAAA5gD///8A"
    "AAN6AAAB3gAAAAQAAAAEAAAACAAAAAj8AAAAAQAAAAIAAAACAAAAFgBtAGEAaQBuAFQAbwBvAGwAQgBhAHIAAAAAAP//"
    "//8AAAAAAAAAAAAAABwAcwBlAHMAcwBpAG8AbgBUAG8AbwBsAGIAYQByAAAAAKD/////AAAAAAAAAAA=")


def konsole_config(home):
    """Konsole's configuration in the private home: a profile with the font the other
    terminals use and no scroll bar, made the default, and a window without menu, toolbars
    or tab bar. Everything else is as Konsole ships it."""
    size = os.environ.get("TERMINALS_SIZE")
    os.makedirs(os.path.join(home, ".config"), exist_ok=True)
    os.makedirs(os.path.join(home, ".local", "share", "konsole"), exist_ok=True)
    with open(os.path.join(home, ".config", "konsolerc"), "w") as f:
        f.write("[Desktop Entry]\nDefaultProfile=veloria.profile\n\n"
                "[KonsoleWindow]\nRememberWindowSize=false\n\n"
                f"[MainWindow]\nMenuBar=Disabled\nState={KONSOLE_WINDOW_STATE}\n\n"
                "[TabBar]\nTabBarVisibility=AlwaysHideTabBar\n")
    with open(os.path.join(home, ".local", "share", "konsole", "veloria.profile"), "w") as f:
        f.write("[General]\nName=veloria\nParent=FALLBACK/\n")
        if size:
            columns, lines = size.split("x")
            f.write(f"TerminalColumns={columns}\nTerminalRows={lines}\n")
        f.write("\n[Appearance]\nFont=DejaVu Sans Mono,9,-1,5,50,0,0,0,0,0\n\n"
                "[Scrolling]\nScrollBarPosition=2\n")


def private_env(home):
    """The environment every terminal and its version query run in: a home, configuration,
    data, cache and runtime folders of the measurement's own, no D-Bus session and none of the
    variables an enclosing terminal or multiplexer sets."""
    env = {**os.environ, "HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
           "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
           "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
           "XDG_CACHE_HOME": os.path.join(home, ".cache"), "XDG_RUNTIME_DIR": home,
           "LANG": "C.UTF-8", "LIBGL_ALWAYS_SOFTWARE": "1"}
    for variable in ("TMUX", "STY", "COLORTERM", "TERM_PROGRAM", "VTE_VERSION",
                     "KITTY_WINDOW_ID", "WINDOWID", "DBUS_SESSION_BUS_ADDRESS",
                     "SESSION_MANAGER", "KONSOLE_VERSION", "KONSOLE_DBUS_SERVICE",
                     "KONSOLE_DBUS_SESSION", "KONSOLE_DBUS_WINDOW", "ALACRITTY_SOCKET",
                     "ALACRITTY_LOG", "ALACRITTY_WINDOW_ID", "COLORFGBG", "DISPLAY"):
        env.pop(variable, None)
    return env


SCREEN_SESSION = f"veloria-terms-{os.getpid()}"
WINDOW_CLASS = {"kitty": "kitty", "mlterm": "mlterm", "konsole": "konsole",
                "xfce4-terminal": "Xfce4-terminal", "alacritty": "Alacritty", "urxvt": "URxvt"}


def version(name, home):
    commands = {"xterm": ["xterm", "-version"], "kitty": ["kitty", "--version"],
                "mlterm": ["mlterm", "--version"], "tmux": ["tmux", "-V"],
                "screen": ["screen", "-v"], "konsole": ["konsole", "--version"],
                "xfce4-terminal": ["xfce4-terminal", "--version"],
                "alacritty": ["alacritty", "--version"], "urxvt": ["urxvt", "-help"]}
    program = name.split()[0]
    try:
        # Konsole will not even print its version without a display: Qt's offscreen one.
        out = subprocess.run(commands[program], capture_output=True, text=True, timeout=20,
                             stdin=subprocess.DEVNULL,
                             env={**private_env(home), "QT_QPA_PLATFORM": "offscreen"})
        text = (out.stdout + out.stderr).strip().splitlines()[0]
    except (OSError, subprocess.SubprocessError, IndexError):
        return "?"
    # A dotted number, not the 4 in "xfce4-terminal"; xterm gives its patch number alone.
    m = re.search(r"\d+\.\d+(\.\d+)*[a-z]?|XTerm\(\d+\)", text)
    return m.group(0) if m else text


def find_window(display, name):
    """The terminal's top-level window id."""
    window_class = WINDOW_CLASS.get(name.split()[0], "XTerm")
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", window_class],
                         capture_output=True, text=True, timeout=10,
                         env={**os.environ, "DISPLAY": display})
    ids = out.stdout.split()
    return ids[-1] if ids else "root"


def screenshot(display, name, path):
    window = find_window(display, name)
    subprocess.run(["import", "-display", display, "-window", window, path],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)


def slug_of(name):
    return re.sub(r"[^a-z0-9]+", "-", name.lower()).strip("-")


def work_folder(out, name):
    return os.path.join(out, "work-" + slug_of(name))


def measure_x_terminal(name, binary, schedule_tool, out, log):
    slug = slug_of(name)
    work = work_folder(out, name)
    shutil.rmtree(work, ignore_errors=True)
    home = os.path.join(work, "home")
    os.makedirs(home, mode=0o700)
    if name == "konsole":
        konsole_config(home)
    inside = [sys.executable, os.path.abspath(__file__), "inside", work, binary, schedule_tool]
    display = Display(log)
    terminal = None
    shots = {}
    try:
        env = {**private_env(home), "DISPLAY": display.name}
        terminal = subprocess.Popen(terminal_command(name, inside, work), env=env, stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=log, start_new_session=True, cwd=work)
        events = os.path.join(work, "events")
        seen, gallery_shots, plain, deadline = 0, 0, 0, time.monotonic() + RUN_LIMIT
        gallery_started = None
        while time.monotonic() < deadline:
            lines = open(events).read().splitlines() if os.path.exists(events) else []
            for line in lines[seen:]:
                event = json.loads(line)["event"]
                if event == "slide":
                    shots["slides"] = f"{out}/{slug}-slides.png"
                    screenshot(display.name, name, shots["slides"])
                    open(os.path.join(work, "ack-slide"), "w").close()
                elif event == "gallery":
                    gallery_started = time.monotonic()
                elif event == "waiting":
                    gallery_started = None
                    shots["final picture"] = f"{out}/{slug}-final-picture.png"
                    screenshot(display.name, name, shots["final picture"])
                    open(os.path.join(work, "ack-waiting"), "w").close()
                elif event == "ended":
                    time.sleep(1)
                    shots["ended"] = f"{out}/{slug}-ended.png"
                    screenshot(display.name, name, shots["ended"])
                    open(os.path.join(work, "ack-ended"), "w").close()
                elif event == "prompt":
                    time.sleep(0.3)
                    shots["after"] = f"{out}/{slug}-after.png"
                    screenshot(display.name, name, shots["after"])
                    open(os.path.join(work, "ack-prompt"), "w").close()
                elif event == "plain":
                    time.sleep(1)
                    plain += 1
                    shots[f"plain {plain}"] = f"{out}/{slug}-plain-{plain}.png"
                    screenshot(display.name, name, shots[f"plain {plain}"])
                    open(os.path.join(work, f"ack-plain-{plain}"), "w").close()
                    if plain == 2:
                        deadline = 0
            seen = len(lines)
            # Mid-gallery pictures: a few seconds apart, while pictures condense.
            if gallery_started is not None and gallery_shots < GALLERY_SHOTS and \
                    time.monotonic() - gallery_started > 0.8 + 1.3 * gallery_shots:
                gallery_shots += 1
                path = f"{out}/{slug}-gallery-{gallery_shots}.png"
                screenshot(display.name, name, path)
                shots[f"gallery {gallery_shots}"] = path
            if terminal.poll() is not None:
                break
            time.sleep(0.05)
    finally:
        if name.startswith("tmux"):
            subprocess.run(["tmux", "-S", f"{work}/tmux", "kill-server"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        if name.startswith("screen"):
            subprocess.run(["screen", "-S", SCREEN_SESSION, "-X", "quit"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        stop_group(terminal)
        sweep(work)
        display.stop()
    result_path = os.path.join(work, "result.json")
    result = json.load(open(result_path)) if os.path.exists(result_path) else {}
    result["screenshots"] = shots
    result["events"] = [json.loads(l) for l in open(os.path.join(work, "events"))] \
        if os.path.exists(os.path.join(work, "events")) else []
    return result


def cursor_column_after(raw):
    """The column the cursor is left in by plain text: after the last carriage return or line
    feed. The counters' line is the measurement's own, not the show's."""
    shown = sequences.ESCAPE.sub(b"", re.sub(rb"veloria: [^\r\n]*(\r?\n)?", b"", raw))
    return len(re.split(rb"[\r\n]", shown)[-1].decode("utf-8", "replace")) + 1


def measure_dumb(binary):
    """TERM=dumb in a pseudo-terminal that answers nothing; Enter typed at the end."""
    show = Terminal([binary], columns=80, lines=24, env={"TERM": "dumb", "VELORIA_STATS": "1"})
    started = time.monotonic()
    try:
        show.pump(30)  # the fast show takes about 16 s; it then waits for Enter
        show.type(b"\r")
        status = show.finish(20)
        modes_restored = show.modes_now() == show.modes_before
    finally:
        show.finish(0)
        show.close()
    raw = show.raw()
    return {"status": os.waitstatus_to_exitcode(status),
            "cursor_column_after": cursor_column_after(raw),
            "escapes": raw.count(b"\x1b"),
            "stats": re.search(rb"veloria: [^\r\n]*", raw).group(0).decode()
            if b"veloria: " in raw else "",
            "seconds": round(time.monotonic() - started, 1),
            "modes_restored": modes_restored}


def canvas_of(result):
    c = result.get("canvas_bytes", {})
    if c is None:
        return "not watched (the show ran on the terminal itself)"
    if c.get("kitty images"):
        return "kitty graphics"
    if c.get("sixel images"):
        return "sixel"
    if c.get("half blocks"):
        return "half blocks, " + ("truecolour" if c.get("truecolour attributes") >= c.get(
            "256-colour attributes") else "256 colours")
    return "nothing drawn"


def restored_text(result):
    before, after = result.get("before", {}), result.get("after", {})
    if not after:
        return "no answer"
    notes = []
    looks = plain_text_same(result)
    if looks:
        notes.append(looks)
    if after.get("wraps") is False:
        notes.append("autowrap OFF")
    if result.get("size_at_end") != result.get("size_at_start"):
        notes.append("size {} → {}".format(*("×".join(map(str, result.get(k) or [])) for k in
                                             ("size_at_start", "size_at_end"))))
    for key, label in (("cursor", "cursor"), ("autowrap", "DECAWM"), ("foreground", "fg"),
                       ("background", "bg"), ("rendition", "SGR"), ("title", "pane title")):
        if after.get(key) is None:
            continue
        if after[key] != before.get(key):
            notes.append(f"{label} {before.get(key)!r} → {after[key]!r}")
    asked = [k for k in ("cursor", "foreground", "background", "rendition", "title")
             if after.get(k) is not None]
    if notes:
        return "NO: " + "; ".join(notes)
    return "yes (" + ("plain text looks the same, " if looks == "" else "") + "wraps" + \
        ("; " + ", ".join(asked) + " as before" if asked else "; nothing else answered") + ")"


def frames(stats):
    counters = sequences.stats((stats or "").encode())
    if not counters:
        return "–"
    text = f"{counters[0]:,} / {counters[1]:,}"
    cpu = re.search(r"(\d+) ms of presenter CPU", stats)
    if cpu and counters[0]:
        text += f"; presenter CPU {int(cpu.group(1)) / counters[0]:.2f} ms a frame"
    return text


NAMES = ["xterm -ti vt340", "xterm -ti vt340 +allowWindowOps", "xterm", "kitty", "mlterm",
         "konsole", "xfce4-terminal", "alacritty", "urxvt",
         "tmux (in xterm -ti vt340)", "screen (in xterm -ti vt340)", "dumb"]


def pixels(path, size=160):
    """The screenshot sampled down to size x size pixels, as (r, g, b) tuples."""
    ppm = subprocess.run(["convert", path, "-sample", f"{size}x{size}!", "ppm:-"],
                         capture_output=True, timeout=30).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    data = ppm[header.end():]
    return [tuple(data[i:i + 3]) for i in range(0, len(data) - 2, 3)]


def slides_look(path):
    """Whether the slide shows light green characters (the console's colour 0A) on black."""
    if not path or not os.path.exists(path):
        return "no screenshot"
    px = pixels(path)
    green = sum(1 for r, g, b in px if g > 100 and g > r + 60 and g > b + 60)
    dark = sum(1 for r, g, b in px if r + g + b < 90)
    if green > len(px) * 0.02 and dark > len(px) * 0.5:
        return "green on black"
    return f"NOT green on black ({100 * green // len(px)} % green, {100 * dark // len(px)} % dark)"


def plain_colours(path):
    """The background and text colours of the test line at the top of a plain screen: the most
    common colour in a band across the first line (clear of scroll bars at the edges), and the
    one farthest from it that at least a few samples have (not an anti-aliased edge)."""
    size = 400
    grid = pixels(path, size)
    band = [grid[y * size + x] for y in range(size * 4 // 100) for x in range(16, size // 2)]
    counts = {}
    for p in band:
        counts[p] = counts.get(p, 0) + 1
    background = max(counts, key=counts.get)
    distance = lambda c: sum(abs(a - b) for a, b in zip(c, background))
    frequent = [c for c, n in counts.items() if n >= 3 and distance(c) > 150]
    return background, max(frequent, key=distance, default=None)


def plain_text_same(result):
    """Whether plain text looks the same after the show as before it, from the screenshots."""
    shots = result.get("screenshots", {})
    before, after = shots.get("plain 1"), shots.get("plain 2")
    if not (before and after and os.path.exists(before) and os.path.exists(after)):
        return None
    b, a = plain_colours(before), plain_colours(after)
    close = lambda x, y: x is not None and y is not None and \
        sum(abs(p - q) for p, q in zip(x, y)) < 60
    if close(b[0], a[0]) and close(b[1], a[1]):
        return ""
    return "plain text {} on {} before, {} on {} after".format(
        *("#%02x%02x%02x" % c if c else "invisible" for c in (b[1], b[0], a[1], a[0])))


def image(path):
    """The screenshot as a rows x columns x 3 array of signed colour values, or None."""
    import numpy
    if not path or not os.path.exists(path):
        return None
    ppm = subprocess.run(["convert", path, "ppm:-"], capture_output=True, timeout=30).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    if not header:
        return None
    width, height = int(header.group(1)), int(header.group(2))
    return numpy.frombuffer(ppm[header.end():], numpy.uint8).reshape(
        height, width, 3).astype(numpy.int16)


def near(picture, colour, within=24):
    """Where the picture's pixels are within the distance of the colour (sum over r, g, b)."""
    return abs(picture - colour).sum(axis=2) < within


# The gallery's last picture (Gallery in show/Show.cpp), as the build paints it into MEDIA.
LAST_PICTURE = "RASKEP"


def last_picture_kept(result, media):
    """Whether the last picture is still on screen after the show, from the screenshot taken a
    second after the show ended: either as the gallery left it (see as_the_gallery_left_it) or
    drawn again, whole, at the size the terminal has then (see likeness)."""
    try:
        import numpy  # only here: the rest of the measurement runs without it
    except ImportError:
        return "not checked (no python3-numpy)"
    shots = result.get("screenshots", {})
    final, after = image(shots.get("final picture")), image(shots.get("ended"))
    if final is None or after is None:
        return "not checked (no screenshot)"
    edge = numpy.concatenate([final[:2].reshape(-1, 3), final[-2:].reshape(-1, 3),
                              final[:, :2].reshape(-1, 3), final[:, -2:].reshape(-1, 3)])
    colours, counts = numpy.unique(edge, axis=0, return_counts=True)
    backgrounds = [numpy.zeros(3, numpy.int16), colours[counts.argmax()]]
    if os.path.exists(shots.get("plain 1", "")):
        backgrounds.append(numpy.array(plain_colours(shots["plain 1"])[0], numpy.int16))
    kept = as_the_gallery_left_it(final, after, backgrounds)
    if kept is None:
        return "not checked (no picture at the final wait)"
    whole, inside, same, blank = kept
    held = "" if inside >= 0.9 * whole else f"{100 * inside // whole} % of it in the window"
    if inside >= 0.05 * whole and same >= 0.9 * inside:
        return "yes, as the gallery left it" + (f" ({held})" if held else "")
    # Not as it was: drawn again at another size, or rewrapped, cropped, or cleared.
    pictures = {os.path.basename(path)[:-4]: path for path in
                (os.path.join(media, n) for n in sorted(os.listdir(media)) if n.endswith(".bmp"))}
    if LAST_PICTURE not in pictures:
        return "not checked (no painted pictures in " + media + ")"
    alike = likeness(after, pictures[LAST_PICTURE])
    if alike >= 0.8:
        return f"yes, drawn again at the terminal's new size ({alike:.2f} alike)"
    others = max(likeness(after, path) for name, path in pictures.items() if name != LAST_PICTURE)
    if alike >= 0.5 and alike >= others + 0.15:
        return (f"POORLY: drawn again at the terminal's new size, but only {alike:.2f} alike "
                f"(another picture {others:.2f})")
    as_it_was = (f"{100 * same // inside} % of it as it was" if inside
                 else "none of it in the window")
    return (f"NO: {as_it_was}" + (f", {100 * blank:.0f} % blank" if blank >= 0.05 else "")
            + (f" ({held})" if held and inside else "")
            + f"; {alike:.2f} alike the picture, another {others:.2f}")


def as_the_gallery_left_it(final, after, backgrounds):
    """How much of the picture the screenshot after the show holds as the one at the final wait
    did: (the picture's pixels, those inside the window after, those of them unchanged, the
    share of them blank instead), or None when the final wait shows no picture. The picture is
    what differs from the backgrounds. It may have moved up or down (the cursor put below it
    scrolls, a window made smaller keeps its bottom rows) and, in a smaller window, be there
    only in part; the vertical offset taken is the one that keeps most of it."""
    import numpy
    background = lambda picture: numpy.logical_or.reduce([near(picture, c) for c in backgrounds])
    mask = ~background(final)
    if mask.mean() < 0.05:
        return None
    width = min(final.shape[1], after.shape[1])
    final, after, mask = final[:, :width], after[:, :width], mask[:, :width]

    def compare(dy, step):
        """Picture pixels inside the window after, and those of them unchanged, with row y of
        the screenshot at the final wait shown on row y + dy after; every step-th pixel."""
        top, bottom = max(0, -dy), min(final.shape[0], after.shape[0] - dy)
        if bottom <= top:
            return 0, 0
        f, m = final[top:bottom:step, ::step], mask[top:bottom:step, ::step]
        a = after[top + dy:bottom + dy:step, ::step]
        return int(m.sum()), int((m & near(a, f)).sum())

    # The offset with the most pixels unchanged, found on every fourth pixel each way, then
    # counted on every pixel; where none are, the one that holds the most of the picture.
    offsets = range(1 - final.shape[0], after.shape[0])
    dy = max(offsets, key=lambda d: compare(d, 4)[::-1])
    inside, same = compare(dy, 1)
    top, bottom = max(0, -dy), min(final.shape[0], after.shape[0] - dy)
    shown = mask[top:bottom]
    blank = float(background(after[top + dy:bottom + dy])[shown].mean()) if shown.any() else 0.0
    return int(mask.sum()), inside, same, blank


def likeness(screenshot, bmp_path):
    """How alike the screenshot is to the painted picture at its best place and size: the
    correlation of their colours (1: the same but for brightness and contrast; about 0.5 for
    one of the other pictures) on blocks of about a 48th of the screenshot's height. The show
    fits the picture to the height of the terminal, so sizes from three quarters of the
    screenshot's height up are tried, each a little wider and narrower too (a half-block
    pixel is not quite square)."""
    import numpy
    from numpy.lib.stride_tricks import sliding_window_view
    from check_full_show import read_bmp
    picture = read_bmp(bmp_path)
    step = max(4, screenshot.shape[0] // 48)
    rows, columns = screenshot.shape[0] // step, screenshot.shape[1] // step
    shown = screenshot[:rows * step, :columns * step].reshape(
        rows, step, columns, step, 3).mean(axis=(1, 3))
    # Box means of the picture at any size, from its running sums.
    sums = numpy.zeros((picture.shape[0] + 1, picture.shape[1] + 1, 3))
    sums[1:, 1:] = picture.cumsum(0).cumsum(1)
    best = -1.0
    for height in range(max(8, rows * 3 // 4), rows + 1):
        for aspect in (0.94, 1.0, 1.06):
            width = round(height * picture.shape[1] / picture.shape[0] * aspect)
            if not 4 <= width <= columns:
                continue
            ys = numpy.linspace(0, picture.shape[0], height + 1).round().astype(int)
            xs = numpy.linspace(0, picture.shape[1], width + 1).round().astype(int)
            block = (sums[ys[1:]][:, xs[1:]] - sums[ys[:-1]][:, xs[1:]]
                     - sums[ys[1:]][:, xs[:-1]] + sums[ys[:-1]][:, xs[:-1]]) / \
                numpy.outer(numpy.diff(ys), numpy.diff(xs))[:, :, None]
            wanted = block.transpose(2, 0, 1).ravel()
            wanted = (wanted - wanted.mean()) / (wanted.std() + 1e-9)
            for y in range(rows - height + 1):
                places = sliding_window_view(shown[y:y + height], (height, width), axis=(0, 1))
                places = places[0].reshape(columns - width + 1, -1)
                places = (places - places.mean(axis=1, keepdims=True)) / \
                    (places.std(axis=1, keepdims=True) + 1e-9)
                best = max(best, float((places @ wanted).max()) / wanted.size)
    return best


def prompt_on_fresh_line(result):
    """Whether the show left the cursor at the start of a line, where a shell's prompt comes
    back (bash writes it at the cursor)."""
    at, rows = result.get("cursor_after") or [None, None]
    if not at:
        return "not checked (no cursor report)"
    if at[1] == 1:
        return f"yes (row {at[0]} of {rows})"
    return f"NO: column {at[1]} of row {at[0]} of {rows}"


def resize_request(result):
    """Whether the terminal took the sizes the show asks for (its pseudo-terminal got them)
    and whether its window grew with them: a terminal may take the size and show only the
    part of it that its window holds."""
    sizes = [e["size"] for e in result.get("events", [])] + \
        [s for _, s in result.get("sizes", [])]
    if not ([150, 51] in sizes and [115, 51] in sizes):
        return "ignored"
    shots = result.get("screenshots", {})
    before, gallery = shots.get("plain 1"), shots.get("final picture")
    if not (before and gallery and os.path.exists(before) and os.path.exists(gallery)):
        return "taken (window not checked)"
    geometry = lambda path: subprocess.run(["identify", "-format", "%wx%h", path],
                                           capture_output=True, text=True, timeout=30).stdout
    if geometry(before) == geometry(gallery):
        return "NO: taken, but the window kept its size (the rest cut off)"
    return "honoured"


def blank_gallery_shots(result):
    """How many mid-gallery screenshots show no picture at all (nearly black everywhere)."""
    shots = [p for k, p in result.get("screenshots", {}).items() if k.startswith("gallery")]
    blank = 0
    for path in shots:
        if os.path.exists(path) and max(sum(p) for p in pixels(path, 64)) < 60:
            blank += 1
    return blank, len(shots)


def main():
    if sys.argv[1] == "inside":
        Inside(sys.argv[2], sys.argv[3], sys.argv[4]).run()
        return
    # Ended from outside (a timeout), the measurement still cleans up after itself.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminals.py: stopped"))
    signal.signal(signal.SIGHUP, lambda *_: sys.exit("terminals.py: stopped"))
    binary, schedule_tool, media, out = (os.path.abspath(a) for a in sys.argv[1:5])
    names = sys.argv[5:] or NAMES
    os.makedirs(out, exist_ok=True)
    log = open(os.path.join(out, "terminals.log"), "ab")
    rows, results = [], {}
    for name in names:
        print(f"measuring {name} ...", file=sys.stderr, flush=True)
        try:
            if name == "dumb":
                r = measure_dumb(binary)
                results[name] = r
                rows.append(["TERM=dumb in a pty", "–", "nothing drawn" if r["escapes"] == 0
                             else f"{r['escapes']} escape bytes written",
                             frames(r["stats"]) if r["stats"] else "none (no canvas)",
                             "–", "plain text" if r["escapes"] == 0 else "escapes written",
                             "yes (tty modes as before)" if r["modes_restored"] else "NO",
                             "– (no picture)",
                             "yes" if r["cursor_column_after"] == 1
                             else f"NO: column {r['cursor_column_after']}"])
                continue
            r = measure_x_terminal(name, binary, schedule_tool, out, log)
            results[name] = r
            resize = resize_request(r)
            shown = canvas_of(r)
            blank, taken = blank_gallery_shots(r)
            if blank:
                shown += f" ({blank} of {taken} mid-gallery screenshots blank)"
            if r.get("status") != 0:
                shown += f", exit status {r.get('status')}"
            rows.append([name, version(name.replace("(in ", "").split()[0],
                                         os.path.join(work_folder(out, name), "home")), shown,
                         frames(r.get("stats")), resize,
                         slides_look(r.get("screenshots", {}).get("slides")), restored_text(r),
                         last_picture_kept(r, media), prompt_on_fresh_line(r)])
        except Exception as error:  # one terminal failing must not stop the others
            results[name] = {"error": repr(error)}
            rows.append([name, "?", f"failed: {error!r}", "–", "–", "–", "–", "–", "–"])
    with open(os.path.join(out, "results.json"), "w") as f:
        json.dump(results, f, indent=1)
    print("| terminal | version | how the gallery is shown | frames shown / dropped "
          "| resize request | slides | restored after the show | last picture after the show "
          "| prompt on a fresh line |")
    print("|---|---|---|---|---|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
