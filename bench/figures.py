"""Measures veloria's figures and writes them as one markdown table (see figures.sh).

Steps, in order: time to the first character over a few short runs; one whole show in real
time in a pseudo-terminal (movements against the schedule, the presenter's frames and bytes,
CPU per thread, memory sampled every half second); the canvas benchmarks beside the chafa
and timg tools on the same frames; a clean build of the show alone.

Usage: figures.py BUILD_DIR OUTPUT.md
"""

import json
import os
import re
import resource
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
import sequences  # noqa: E402
from harness import Schedule, Terminal  # noqa: E402
TICK = "\u2013"  # en dash for ranges


def log(message):
    print(f"figures: {message}", file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------------------------
# The schedule, from the show's own sequence (show_schedule), and the track from its file.

def schedule(build_dir):
    plan = Schedule(os.path.join(build_dir, "show_schedule"))
    wav = open(os.path.join(build_dir, "media-data", "VELORIA.wav"), "rb").read()
    byte_rate = struct.unpack_from("<I", wav, wav.find(b"fmt ") + 16)[0]
    data_size = struct.unpack_from("<I", wav, wav.find(b"data") + 4)[0]
    return {"opening": plan.opening, "slides": plan.slides, "gallery": plan.gallery,
            "calls": plan["pixelCalls"], "rate": plan["pixelCallsPerSecond"],
            "track": data_size / byte_rate, "slide_lines": plan["slideLines"],
            "holds": len(plan["slides"]), "schedule": plan}


def show_terminal(binary):
    """A pseudo-terminal that behaves as a plain terminal would: it takes the sizes asked for
    and answers the device attributes without graphics."""
    return Terminal([binary], env=show_environment(), clean_env=True, follow_size_requests=True,
                    replies={sequences.ATTRIBUTES_QUERY: sequences.NO_GRAPHICS_ANSWER})


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
        term = show_terminal(binary)
        letter = term.wait_for(b"L", 10)
        if letter is None:
            raise RuntimeError("the show wrote nothing in 10 s")
        firsts.append(term.first_byte() - term.exec_at)
        letters.append(letter - term.exec_at)
        term.signal(signal.SIGTERM)
        term.finish(5)
        term.close()
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
    term = show_terminal(binary)
    pid = term.pid

    def elapsed():
        return time.monotonic() - term.started

    samples = []  # (time, status fields, smaps_rollup fields)
    first_seen = {}  # tid -> (time, name)
    next_sample = 0.0
    gallery_at = None
    gallery_end = last_output = None
    final_threads = final_maps = None
    deadline = elapsed() + plan["opening"] + plan["slides"] + plan["gallery"] + 60
    while elapsed() < deadline and term.status is None:
        near_end = gallery_at is not None and elapsed() > gallery_at + plan["gallery"] - 10
        term.pump(0.005 if near_end else 0.05)
        now = elapsed()
        if now >= next_sample:
            next_sample = now + 0.5
            samples.append((now, read_fields(f"/proc/{pid}/status"),
                            read_fields(f"/proc/{pid}/smaps_rollup")))
            for tid, (_, name) in thread_times(pid).items():
                first_seen.setdefault(tid, (now, name))
        if gallery_at is None:
            gallery_at = next((at for at, columns, _ in term.sizes
                               if columns == plan["schedule"]["columns"]), None)
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
    term.close()
    raw = term.raw()
    if gallery_end is None:
        raise RuntimeError("the gallery did not end in time")
    if not os.WIFEXITED(term.status) or os.WEXITSTATUS(term.status) != 0:
        raise RuntimeError(f"the show ended with wait status {term.status}")
    first_char = term.arrival(b"L")
    music_at = term.arrival(plan["schedule"].size_request(1))
    return {"first_char": first_char, "music": music_at, "gallery": gallery_at,
            "gallery_end": gallery_end, "last_output": last_output,
            "stats": sequences.stats(raw),
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


def run_tool(argv, schedule):
    """CPU seconds and output bytes of one run, on a terminal of the gallery's console (cells
    and pixels), so the tools size their images as the canvases do."""
    term = Terminal(argv, schedule["columns"], schedule["lines"],
                    env=dict(os.environ, TERM="xterm-256color", COLORTERM="truecolor"),
                    clean_env=True, pixels=(schedule["surfaceWidth"], schedule["surfaceHeight"]),
                    replies=sequences.OTHER_QUESTIONS,
                    # Nothing to read on standard input: the tools' own queries are answered.
                    before_exec=lambda: os.dup2(os.open("/dev/null", os.O_RDWR), 0))
    status = term.finish(120)
    term.close()
    return term.rusage.ru_utime + term.rusage.ru_stime, len(term.raw()), status


TOOLS = [
    # (canvas, tool, arguments before the file; {size} is the gallery's console, in cells)
    ("half_blocks", "chafa", ["--format=symbols", "--colors=full", "--size={size}"]),
    ("half_blocks", "timg", ["-ph", "-g{size}"]),
    ("half_blocks_256", "chafa", ["--format=symbols", "--colors=256", "--size={size}"]),
    ("half_blocks_256", "timg", ["-ph", "--color8", "-g{size}"]),
    # Within xterm's 1000 x 1000 graphics limit and above the last two rows, as the canvas.
    ("sixel", "chafa", ["--format=sixels", "--size={sixel_size}"]),
    ("kitty", "chafa", ["--format=kitty", "--size={size}"]),
    ("kitty", "timg", ["-pk", "-g{size}"]),
]


def tools_on_frames(frames_dir, frames, schedule, repeats=3):
    blank = os.path.join(frames_dir, "blank.png")
    write_blank_png(blank)
    results = {}
    size = f"{schedule['columns']}x{schedule['lines']}"
    cell_width = schedule["surfaceWidth"] // schedule["columns"]
    cell_height = schedule["surfaceHeight"] // schedule["lines"]
    sixel_size = (f"{min(schedule['columns'], 1000 // cell_width)}x"
                  f"{min(schedule['lines'] - 2, 1000 // cell_height)}")
    for canvas, tool, args in TOOLS:
        if not shutil.which(tool):
            continue
        args = [a.format(size=size, sixel_size=sixel_size) for a in args]
        path = shutil.which(tool)
        # Start-up alone: a 1 x 1 picture, whose output is recorded to show it is next to none.
        blank_runs = [run_tool([path, *args, blank], schedule) for _ in range(repeats)]
        start = statistics.median(r[0] for r in blank_runs)
        start_bytes = statistics.median(r[1] for r in blank_runs)
        cpu, output = [], []
        for frame in frames:
            runs = [run_tool([path, *args, os.path.join(frames_dir, frame + ".png")],
                             schedule)
                    for _ in range(repeats)]
            cpu.append(statistics.median(r[0] for r in runs) - start)
            output.append(statistics.median(r[1] for r in runs))
        results[(canvas, tool)] = {"cpu": statistics.mean(cpu), "bytes": statistics.mean(output),
                                   "start": start, "start_bytes": start_bytes}
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
    geometry = plan["schedule"]
    cells = f"{geometry['columns']} × {geometry['lines']}"
    area = geometry["drawingArea"]
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
    rows.append((f"opening, first letter to the music (schedule {plan['opening']:.2f} s, "
                 "`show_schedule`)", f"{opening:.3f} s"))
    rows.append((f"slides, music to the gallery (schedule {plan['slides']:.2f} s: "
                 f"{plan['slide_lines']} lines and {plan['holds']} holds)", f"{slides:.3f} s"))
    rows.append((f"gallery, to its last pixel (schedule {plan['gallery']:.2f} s: "
                 f"{plan['calls'] / 1e6:.1f} M calls at {plan['rate']:,.0f}/s)",
                 f"{gallery:.3f} s, ending {track_left:.2f} s before the track "
                 f"({plan['track']:.2f} s); the screen last changed "
                 f"{show['gallery_end'] - show['last_output']:.2f} s before the end"))
    whole = show["gallery_end"] - show["exec_at"]
    rows.append(("the whole show, exec to the gallery's end", f"{whole:.2f} s"))

    if show["stats"]:
        shown, dropped, nbytes = show["stats"]
        rows.append((f"presenter over the gallery, truecolour half blocks on a {cells} pty "
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
             "sixel": "sixel",
             "sixel_whole_images": "sixel, whole images (for mlterm)",
             "kitty": "kitty graphics through the pty",
             "kitty_shared_memory": "kitty graphics through shared memory"}
    frames = ["noise_frame", "early_reveal_frame", "half_reveal_frame", "picture_frame"]
    for canvas, label in names.items():
        c = canvases.get(canvas)
        if not c:
            continue
        whole_cpu = statistics.mean(c[f]["cpu"] for f in frames)
        whole_bytes = statistics.mean(c[f]["bytes"] for f in frames)
        share = c["gallery"]["cpu"] * 30 * 100
        text = (f"gallery (whole stretch) {ms(c['gallery']['cpu'], 2)} ({share:.1f} % of a core "
                f"at 30 frames a second), {kb(c['gallery']['bytes'])}; "
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
    starts = ", ".join(f"{tool} {ms(t['start'], 0)} and {t['start_bytes']:.0f} bytes of output"
                       for (canvas, tool), t in tools.items() if canvas == "half_blocks")
    lines.append("")
    lines.append(
        "¹ CPU time (user + system) a frame. The gallery figure plays a stretch recorded from "
        "the show (its first noise burst and the reveal of QIR, made by the show's own effects) "
        "frame by frame as the presenter does; \"whole frame\" and the tools encode the "
        "same four sample frames whole (noise, the reveal an eighth and half done, the "
        f"finished picture; `bench/gallery_frames`): the whole surface, "
        f"{geometry['surfaceWidth']} × {geometry['surfaceHeight']} pixels, onto {cells} cells "
        f"of {geometry['cellWidth']} × {geometry['cellHeight']} pixels, each scaling it to fit "
        "the cells; sixel, for chafa as for the canvas, within 1000 × 1000 pixels and above the "
        "last two rows. The tools run once per file, on a pseudo-terminal of that size, so "
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
        tools = tools_on_frames(frames_dir, frames, plan["schedule"])
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
