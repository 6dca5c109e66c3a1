"""Measures veloria's figures and writes them as one markdown table (see figures.sh).

Steps, in order: time to the first character over a few short runs; one whole show in real
time in a pseudo-terminal (movements against the schedule, the presenter's frames and bytes,
CPU per thread, memory sampled every half second); the canvas benchmarks beside the chafa
and timg tools on the same frames; a clean build of the show alone.

Usage: figures.py BUILD_DIR OUTPUT.md
"""

import fcntl
import json
import os
import pty
import re
import resource
import select
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time
import zlib

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
from ptyshow import start_in_pty  # noqa: E402
TICK = "\u2013"  # en dash for ranges

STATS_LINE = re.compile(rb"veloria: (\d+) frames shown, (\d+) dropped, (\d+) bytes")
SIZE_REQUEST = re.compile(rb"\x1b\[8;(\d+);(\d+)t")
# What a terminal without graphics answers to the primary device attributes query: a VT220
# with ANSI colour, no sixel attribute. Kitty's and the sixel size queries go unanswered.
DEVICE_ATTRIBUTES = b"\x1b[?62;22c"


def log(message):
    print(f"figures: {message}", file=sys.stderr, flush=True)


def source(path):
    with open(os.path.join(REPO, path), encoding="utf-8") as f:
        return f.read()


# ---------------------------------------------------------------------------------------------
# The schedule, from the show's own data.

def schedule(build_dir):
    sound = source("show/Sound.cpp")
    # Opening: each character of a text is followed by the text's delay.
    texts = {}
    for name, body in re.findall(r"std::string_view (\w+)\s*=\s*cp1251<(.*?)>\(\);",
                                 source("show/OpeningTexts.h"), re.S):
        texts[name] = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', body))
    opening_ms = sum(len(texts[name]) * int(delay) for name, delay in
                     re.findall(r"typeText\(p\.console, p\.clock, (\w+), (\d+)\)", sound))
    # Slides: each line is followed by the line delay, each slide by its hold.
    lines = {}
    generated = open(os.path.join(build_dir, "media-data", "ArtSlides.cpp"),
                     encoding="utf-8").read()
    for name, body in re.findall(r"std::vector<std::string> (\w+) = \{(.*?)\n\};", generated,
                                 re.S):
        lines[name] = len(re.findall(r'^\s*"', body, re.M))
    slides_ms = sum(lines[name] * int(delay) + int(hold) for name, delay, hold in
                    re.findall(r"showArtSlide\(p\.console, p\.clock, (\w+), (\d+), (\d+)\)", sound))
    # Gallery: a noise burst and a reveal per picture, paced at a fixed number of calls a second.
    pictures = re.findall(r'\{"(\w+)", (\d+), (\d+), (\d+)\}', sound)
    noise = int(re.search(r"noiseBurst\(p\.surface, dc, (\d+)\)", sound).group(1))
    rate = float(re.search(r"CallsPerSecond = (\d+)",
                           source("pixels/TerminalSurface.cpp")).group(1))
    calls = sum(noise + int(samples) for _, _, _, samples in pictures)
    # The track: the WAVE file's data chunk over its byte rate.
    wav = open(os.path.join(build_dir, "media-data", "VELORIA.wav"), "rb").read()
    byte_rate = struct.unpack_from("<I", wav, wav.find(b"fmt ") + 16)[0]
    data_size = struct.unpack_from("<I", wav, wav.find(b"data") + 4)[0]
    return {"opening": opening_ms / 1000, "slides": slides_ms / 1000, "gallery": calls / rate,
            "calls": calls, "rate": rate, "track": data_size / byte_rate,
            "slide_lines": sum(lines.values())}


# ---------------------------------------------------------------------------------------------
# A pseudo-terminal that behaves as a plain terminal would: it takes the size asked for with
# CSI 8 t and answers the device attributes query. Every chunk of output is timestamped.

class Terminal:
    def __init__(self, argv, env, columns=80, lines=24):
        self.master, self.slave = pty.openpty()
        self.resize(lines, columns)
        stamp_read, stamp_write = os.pipe()
        self.pid = start_in_pty(argv, env, self.slave,
                                lambda: os.write(stamp_write, struct.pack("d", time.monotonic())))
        os.close(stamp_write)
        self.exec_at = struct.unpack("d", os.read(stamp_read, 8))[0]
        os.close(stamp_read)
        self.chunks = []  # (monotonic time, bytes)
        self.raw = bytearray()
        self.rusage = None
        self.status = None
        self.sizes = []  # (time, lines, columns) as the program asked for them

    def resize(self, lines, columns):
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", lines, columns, 0, 0))

    def pump(self, seconds):
        """Reads output for up to the given time, or until the program has exited."""
        deadline = time.monotonic() + seconds
        while True:
            left = deadline - time.monotonic()
            if left <= 0 or self.status is not None:
                return
            ready, _, _ = select.select([self.master], [], [], min(left, 0.05))
            if ready:
                try:
                    data = os.read(self.master, 1 << 16)
                except OSError:
                    data = b""
                if data:
                    self._arrived(time.monotonic(), data)
            self._reap()

    def _arrived(self, at, data):
        tail = len(self.raw)
        self.chunks.append((at, data))
        self.raw += data
        # Requests completed by this chunk; one may have started in the chunk before.
        base = max(0, tail - 16)
        seen = bytes(self.raw[base:])
        for match in SIZE_REQUEST.finditer(seen):
            if base + match.end() > tail:
                lines, columns = int(match.group(1)), int(match.group(2))
                self.sizes.append((at, lines, columns))
                self.resize(lines, columns)
        at_query = seen.find(b"\x1b[c")
        while at_query >= 0:
            if base + at_query + 3 > tail:
                os.write(self.master, DEVICE_ATTRIBUTES)
            at_query = seen.find(b"\x1b[c", at_query + 1)

    def _reap(self):
        if self.status is None:
            pid, status, rusage = os.wait4(self.pid, os.WNOHANG)
            if pid:
                self.status, self.rusage = status, rusage

    def arrival(self, offset):
        """When the byte at offset arrived."""
        end = 0
        for at, data in self.chunks:
            end += len(data)
            if end > offset:
                return at
        return None

    def type(self, data):
        os.write(self.master, data)

    def finish(self, seconds=10):
        self.pump(seconds)
        if self.status is None:
            os.kill(self.pid, signal.SIGKILL)
            _, self.status, self.rusage = os.wait4(self.pid, 0)
        os.close(self.master)
        os.close(self.slave)
        return self.status


def show_environment():
    env = dict(os.environ)
    env.update({"LANG": "C.UTF-8", "TERM": "xterm-256color", "COLORTERM": "truecolor",
                "VELORIA_STATS": "1"})
    for name in ("TERM_PROGRAM", "VTE_VERSION", "TMUX"):
        env.pop(name, None)
    return env


# ---------------------------------------------------------------------------------------------
# 1. Time to the first character.

def first_character(binary, runs=5):
    firsts, letters = [], []
    for _ in range(runs):
        term = Terminal([binary], show_environment())
        deadline = time.monotonic() + 10
        while b"L" not in term.raw and time.monotonic() < deadline and term.status is None:
            term.pump(0.01)
        if not term.chunks or b"L" not in term.raw:
            raise RuntimeError("the show wrote nothing in 10 s")
        firsts.append(term.chunks[0][0] - term.exec_at)
        letters.append(term.arrival(term.raw.find(b"L")) - term.exec_at)
        os.kill(term.pid, signal.SIGTERM)
        term.finish(5)
        time.sleep(0.2)
    return firsts, letters


# ---------------------------------------------------------------------------------------------
# 2 and 3. The whole show in real time.

def read_fields(path):
    fields = {}
    try:
        with open(path) as f:
            for line in f:
                name, _, value = line.partition(":")
                parts = value.split()
                if parts and parts[0].isdigit():
                    fields[name] = int(parts[0])  # kB
    except OSError:
        pass
    return fields


def thread_times(pid):
    """CPU seconds and name of each of the process's threads."""
    threads = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            run_ns = int(open(f"/proc/{pid}/task/{tid}/schedstat").read().split()[0])
            name = open(f"/proc/{pid}/task/{tid}/comm").read().strip()
        except OSError:
            continue
        threads[int(tid)] = (run_ns / 1e9, name)
    return threads


def executable_rss(pid, binary):
    """Resident kB of the process's mappings of its own executable file."""
    resident, path = 0, None
    real_binary = os.path.realpath(binary)
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = re.match(r"^[0-9a-f]+-[0-9a-f]+ \S+ \S+ \S+ \S+\s*(.*)$", line)
            if head:
                path = head.group(1)
            elif line.startswith("Rss:") and path == real_binary:
                resident += int(line.split()[1])
    return resident


def whole_show(binary, plan):
    log("the whole show in real time (about five and a half minutes)")
    term = Terminal([binary], show_environment())
    pid = term.pid
    samples = []  # (time, status fields, smaps_rollup fields)
    first_seen = {}  # tid -> (time, name)
    next_sample = 0.0
    gallery_at = None
    gallery_end = last_output = None
    final_threads = final_maps = None
    deadline = time.monotonic() + plan["opening"] + plan["slides"] + plan["gallery"] + 60
    while time.monotonic() < deadline and term.status is None:
        near_end = gallery_at is not None and time.monotonic() > gallery_at + plan["gallery"] - 10
        term.pump(0.005 if near_end else 0.05)
        now = time.monotonic()
        if now >= next_sample:
            next_sample = now + 0.5
            samples.append((now, read_fields(f"/proc/{pid}/status"),
                            read_fields(f"/proc/{pid}/smaps_rollup")))
            for tid, (_, name) in thread_times(pid).items():
                first_seen.setdefault(tid, (now, name))
        if gallery_at is None:
            gallery_at = next((at for at, lines, columns in term.sizes if columns == 115), None)
        elif near_end:
            # The gallery is over when the show's thread waits for the key: the last frames
            # may have changed nothing on screen, so the output alone does not tell.
            try:
                call = open(f"/proc/{pid}/task/{pid}/syscall").read().split()
            except OSError:
                call = []
            if call[:2] == ["0", "0x0"]:
                gallery_end = now
                last_output = term.chunks[-1][0]
                final_threads = thread_times(pid)
                final_maps = executable_rss(pid, binary)
                samples.append((now, read_fields(f"/proc/{pid}/status"),
                                read_fields(f"/proc/{pid}/smaps_rollup")))
                term.type(b"\r")
                break
    term.finish(15)
    raw = bytes(term.raw)
    if gallery_end is None:
        raise RuntimeError("the gallery did not end in time")
    if not os.WIFEXITED(term.status) or os.WEXITSTATUS(term.status) != 0:
        raise RuntimeError(f"the show ended with wait status {term.status}")
    first_char = term.arrival(raw.find(b"L"))
    music_at = next(at for at, lines, columns in term.sizes if columns == 150)
    stats = STATS_LINE.search(raw)
    return {"first_char": first_char, "music": music_at, "gallery": gallery_at,
            "gallery_end": gallery_end, "last_output": last_output,
            "stats": [int(v) for v in stats.groups()] if stats else None,
            "status": term.status, "rusage": term.rusage, "samples": samples,
            "first_seen": first_seen, "threads": final_threads,
            "executable_rss": final_maps, "exec_at": term.exec_at}


# ---------------------------------------------------------------------------------------------
# 4. Canvases against chafa and timg on the same frames.

def write_blank_png(path):
    """A 1 x 1 black RGB picture: what a tool costs just to start and load a file."""
    def chunk(kind, data):
        crc = struct.pack(">I", zlib.crc32(kind + data))
        return struct.pack(">I", len(data)) + kind + data + crc
    header = struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(b"\0\0\0\0")) + chunk(b"IEND", b""))


def run_tool(argv):
    """CPU seconds and output bytes of one run, on a terminal of the console's 115 x 51 cells
    of 10 x 20 pixels, so the tools size their images as the canvases do."""
    master, slave = pty.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 51, 115, 1150, 1020))
    # Nothing to read on standard input: the tools' own queries are answered below.
    pid = start_in_pty(argv, dict(os.environ, TERM="xterm-256color", COLORTERM="truecolor"), slave,
                       lambda: os.dup2(os.open("/dev/null", os.O_RDWR), 0))
    os.close(slave)
    total = 0
    while True:
        try:
            data = os.read(master, 1 << 16)
        except OSError:
            break
        if not data:
            break
        total += len(data)
        # timg waits for answers to its queries: the background colour, and a status report.
        if b"\x1b]11;?" in data:
            os.write(master, b"\x1b]11;rgb:0000/0000/0000\x1b\\")
        if b"\x1b[5n" in data:
            os.write(master, b"\x1b[0n")
    _, status, rusage = os.wait4(pid, 0)
    os.close(master)
    return rusage.ru_utime + rusage.ru_stime, total, status


TOOLS = [
    # (canvas, tool, arguments before the file)
    ("half_blocks", "chafa", ["--format=symbols", "--colors=full", "--size=115x51"]),
    ("half_blocks", "timg", ["-ph", "-g115x51"]),
    ("half_blocks_256", "chafa", ["--format=symbols", "--colors=256", "--size=115x51"]),
    ("half_blocks_256", "timg", ["-ph", "--color8", "-g115x51"]),
    ("sixel", "chafa", ["--format=sixels", "--size=115x51"]),
    ("kitty", "chafa", ["--format=kitty", "--size=115x51"]),
    ("kitty", "timg", ["-pk", "-g115x51"]),
]


def tools_on_frames(frames_dir, frames, repeats=3):
    blank = os.path.join(frames_dir, "blank.png")
    write_blank_png(blank)
    results = {}
    for canvas, tool, args in TOOLS:
        if not shutil.which(tool):
            continue
        path = shutil.which(tool)
        start = statistics.median(run_tool([path, *args, blank])[0] for _ in range(repeats))
        cpu, size = [], []
        for frame in frames:
            runs = [run_tool([path, *args, os.path.join(frames_dir, frame + ".png")])
                    for _ in range(repeats)]
            cpu.append(statistics.median(r[0] for r in runs) - start)
            size.append(statistics.median(r[1] for r in runs))
        results[(canvas, tool)] = {"cpu": statistics.mean(cpu), "bytes": statistics.mean(size),
                                   "start": start}
    return results


def canvas_bench(build_dir):
    out = subprocess.run([os.path.join(build_dir, "bench", "canvas_bench"),
                          "--benchmark_format=json", "--benchmark_min_time=0.2"],
                         check=True, capture_output=True, text=True).stdout
    results = {}
    for b in json.loads(out)["benchmarks"]:
        kind, canvas = b["name"].split("/")[:2]
        scale = {"ms": 1e-3, "us": 1e-6, "ns": 1e-9, "s": 1.0}[b["time_unit"]]
        results.setdefault(canvas, {})[kind] = {"cpu": b["cpu_time"] * scale,
                                                "bytes": b["bytes_per_frame"]}
    return results


# ---------------------------------------------------------------------------------------------
# 5. A clean build of the show alone.

def clean_build():
    work = tempfile.mkdtemp(prefix="veloria-clean-build-")
    try:
        started = time.monotonic()
        cpu_before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(["cmake", "-S", REPO, "-B", work, "-G", "Ninja", "-DBUILD_TESTING=OFF"],
                       check=True, capture_output=True)
        subprocess.run(["cmake", "--build", work, "-j2"], check=True, capture_output=True)
        seconds = time.monotonic() - started
        cpu_after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (cpu_after.ru_utime + cpu_after.ru_stime
               - cpu_before.ru_utime - cpu_before.ru_stime)
        size = os.path.getsize(os.path.join(work, "veloria"))
        media = sum(os.path.getsize(os.path.join(work, "media-data", f))
                    for f in os.listdir(os.path.join(work, "media-data"))
                    if f.endswith((".wav", ".bmp")))
        return seconds, cpu, size, media
    finally:
        shutil.rmtree(work, ignore_errors=True)


# ---------------------------------------------------------------------------------------------
# The table.

def ms(seconds, digits=1):
    return f"{seconds * 1000:.{digits}f} ms"


def kb(nbytes):
    return f"{nbytes / 1000:,.1f} KB" if nbytes < 1e6 else f"{nbytes / 1e6:,.2f} MB"


def mb_from_kb(kbytes):
    return f"{kbytes * 1024 / 1e6:.1f} MB"


def table(plan, ttfc, show, canvases, tools, build, sound):
    rows = []
    firsts, letters = ttfc
    same_write = all(abs(a - b) < 1e-6 for a, b in zip(firsts, letters))
    rows.append(("time to the first character (exec to the first byte on a pty; 5 runs)",
                 f"median {ms(statistics.median(firsts))} ({min(firsts) * 1000:.1f}{TICK}"
                 f"{ms(max(firsts))}), "
                 + ("the first letter in the same write" if same_write else
                    f"the first letter at {ms(statistics.median(letters))}")))

    opening = show["music"] - show["first_char"]
    slides = show["gallery"] - show["music"]
    gallery = show["gallery_end"] - show["gallery"]
    track_left = plan["track"] - (show["gallery_end"] - show["music"])
    rows.append((f"opening, first letter to the music (schedule {plan['opening']:.2f} s: "
                 "`show/Sound.cpp`, `show/OpeningTexts.h`)", f"{opening:.3f} s"))
    rows.append((f"slides, music to the gallery (schedule {plan['slides']:.2f} s: "
                 f"{plan['slide_lines']} lines at 30 ms, 3 holds of 7 s)", f"{slides:.3f} s"))
    rows.append((f"gallery, to its last pixel (schedule {plan['gallery']:.2f} s: "
                 f"{plan['calls'] / 1e6:.1f} M calls at {plan['rate']:,.0f}/s, "
                 "`pixels/TerminalSurface.cpp`)",
                 f"{gallery:.3f} s, ending {track_left:.2f} s before the track "
                 f"({plan['track']:.2f} s); the screen last changed "
                 f"{show['gallery_end'] - show['last_output']:.2f} s before the end"))
    whole = show["gallery_end"] - show["exec_at"]
    rows.append(("the whole show, exec to the gallery's end", f"{whole:.2f} s"))

    if show["stats"]:
        shown, dropped, nbytes = show["stats"]
        rows.append(("presenter over the gallery, truecolour half blocks on a 115 × 51 pty "
                     "(`VELORIA_STATS=1`)",
                     f"{shown:,} frames shown ({shown / gallery:.1f} a second), "
                     f"{dropped:,} dropped, {kb(nbytes)} in all, "
                     f"{kb(nbytes / max(shown, 1))} a frame"))

    threads = show["threads"] or {}
    pid_main = min(threads) if threads else None
    presenter = [tid for tid, (seen, _) in show["first_seen"].items()
                 if seen >= show["gallery"] and tid in threads]
    sound_threads = [tid for tid in threads if tid != pid_main and tid not in presenter]
    cpu_main = threads[pid_main][0] if pid_main else 0
    cpu_presenter = sum(threads[t][0] for t in presenter)
    cpu_sound = sum(threads[t][0] for t in sound_threads)
    ru = show["rusage"]
    total = ru.ru_utime + ru.ru_stime if ru else 0
    cpu_text = (f"presenter {cpu_presenter:.2f} s ({100 * cpu_presenter / gallery:.2f} % of a core "
                f"over the gallery")
    if show["stats"] and show["stats"][0]:
        cpu_text += f", {ms(cpu_presenter / show['stats'][0], 2)} a frame"
    cpu_text += (f"); show thread {cpu_main:.2f} s; sound ({len(sound_threads)} threads) "
                 f"{cpu_sound:.2f} s; whole process {total:.2f} s "
                 f"(user {ru.ru_utime:.2f} s, system {ru.ru_stime:.2f} s)")
    rows.append(("CPU time over the whole show, by thread", cpu_text))

    samples = show["samples"]
    peak_rss = max(s[1].get("VmHWM", 0) for s in samples)
    peak_file = max(s[1].get("RssFile", 0) for s in samples)
    peak_anon = max(s[1].get("RssAnon", 0) for s in samples)
    peak_dirty = max(s[2].get("Private_Dirty", 0) for s in samples)
    peak_shmem = max(s[1].get("RssShmem", 0) for s in samples)
    before_gallery = [s for s in samples if s[0] < show["gallery"]]
    anon_opening = max(s[1].get("RssAnon", 0) for s in before_gallery) if before_gallery else 0
    file_opening = max(s[1].get("RssFile", 0) for s in before_gallery) if before_gallery else 0
    rows.append(("peak RSS over the show (`VmHWM`, sampled every 0.5 s)", mb_from_kb(peak_rss)))
    private = max(peak_anon, peak_dirty)
    goal = "within" if private * 1024 <= 24e6 else "above"
    rows.append(("private memory, not backed by a file (peak of `Private_Dirty` or of "
                 "`RssAnon`, the larger; goal ≤ 24 MB)",
                 f"{mb_from_kb(private)} ({goal} the goal): anonymous {mb_from_kb(peak_anon)}, "
                 f"private dirty {mb_from_kb(peak_dirty)}; {mb_from_kb(anon_opening)} "
                 f"before the gallery"))
    rows.append(("file-backed RSS (peak of `RssFile`)",
                 f"{mb_from_kb(peak_file)} ({mb_from_kb(file_opening)} before the gallery); at the "
                 f"gallery's end {mb_from_kb(show['executable_rss'])} of it the executable's "
                 f"own pages, the media read in place, not copied"
                 + (f"; shared memory {mb_from_kb(peak_shmem)} (the sound server's pool)"
                    if peak_shmem else "")))

    names = {"half_blocks": "half blocks, truecolour",
             "half_blocks_256": "half blocks, 256 colours",
             "sixel": "sixel", "kitty": "kitty graphics"}
    frames = ["noise_frame", "early_reveal_frame", "half_reveal_frame", "picture_frame"]
    for canvas, label in names.items():
        c = canvases.get(canvas)
        if not c:
            continue
        whole_cpu = statistics.mean(c[f]["cpu"] for f in frames)
        whole_bytes = statistics.mean(c[f]["bytes"] for f in frames)
        stretch = "whole stretch" if canvas.startswith("half") else "first 300 frames"
        text = (f"gallery ({stretch}) {ms(c['gallery']['cpu'], 2)}, {kb(c['gallery']['bytes'])}; "
                f"whole frame {ms(whole_cpu, 2)}, {kb(whole_bytes)}")
        for tool in ("chafa", "timg"):
            t = tools.get((canvas, tool))
            if t:
                text += f"; {tool} {ms(t['cpu'], 1)}, {kb(t['bytes'])}"
            elif tool == "timg" and canvas == "sixel" and shutil.which("timg"):
                text += "; timg: no sixel in Debian's 1.4.5"
        rows.append((f"CPU and bytes a frame, {label} (`bench/canvas_bench`) ¹", text))

    seconds, cpu, size, media = build
    rows.append(("clean build with media generation (`-DBUILD_TESTING=OFF`, `-j2`, "
                 "configure included)", f"{seconds:.0f} s ({cpu:.0f} s of CPU)"))
    rows.append(("executable `veloria`", f"{size / 1e6:.1f} MB, {media / 1e6:.1f} MB of it the "
                 "media"))

    lines = ["| what | figure |", "|---|---|"]
    lines += [f"| {what} | {figure} |" for what, figure in rows]
    starts = ", ".join(f"{tool} {ms(t['start'], 0)}" for (canvas, tool), t in tools.items()
                       if canvas == "half_blocks")
    lines.append("")
    lines.append(
        "¹ CPU time (user + system) a frame. The gallery figure plays the benchmark's recorded "
        "stretch frame by frame as the presenter does; \"whole frame\" and the tools encode the "
        "same four sample frames whole (noise, the reveal an eighth and half done, the "
        "finished picture; `bench/gallery_frames`), 1010 × 1010 pixels onto 115 × 51 cells of "
        "10 × 20 pixels. The tools run once per file, on a pseudo-terminal of that size, so "
        "their time includes starting the process and decoding the PNG; the start-up time of a "
        f"run on a 1 × 1 picture ({starts}) is subtracted. chafa's symbols use its whole "
        "symbol set, not half blocks alone.")
    lines.append("")
    lines.append(
        f"Measured by `bench/figures.sh` on a {os.cpu_count()}-core machine, "
        f"{time.strftime('%Y-%m-%d')}. The show ran in a "
        "pseudo-terminal that takes the sizes asked for and answers the device attributes "
        "without graphics (`TERM=xterm-256color`, `COLORTERM=truecolor`)"
        + (", its sound played into a private PulseAudio null sink." if sound else
           ", without a sound server."))
    return "\n".join(lines) + "\n"


def main(build_dir, output):
    build_dir = os.path.abspath(build_dir)
    binary = os.path.join(build_dir, "veloria")
    plan = schedule(build_dir)
    log(f"schedule: opening {plan['opening']} s, slides {plan['slides']} s, "
        f"gallery {plan['gallery']:.2f} s, track {plan['track']:.2f} s")
    log("time to the first character")
    ttfc = first_character(binary)
    show = whole_show(binary, plan)
    log("canvas benchmarks")
    canvases = canvas_bench(build_dir)
    log("chafa and timg on the same frames")
    frames_dir = tempfile.mkdtemp(prefix="veloria-frames-")
    try:
        subprocess.run([os.path.join(build_dir, "bench", "gallery_frames"), frames_dir],
                       check=True, capture_output=True)
        frames = ["noise", "early_reveal", "half_reveal", "picture"]
        tools = tools_on_frames(frames_dir, frames)
    finally:
        shutil.rmtree(frames_dir, ignore_errors=True)
    log("clean build")
    build = clean_build()
    text = table(plan, ttfc, show, canvases, tools, build, bool(os.environ.get("PULSE_SERVER")))
    with open(output, "w") as f:
        f.write(text)
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
