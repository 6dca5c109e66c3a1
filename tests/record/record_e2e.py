"""Records the whole show with the real program and checks the video with ffprobe and ffmpeg:
its streams, size and rate, its length against the track's, the track's start against the
end of the typed title, the window's sizes, and the last picture on the last frame. Then the
ways a recording can fail: each says why, exits 1 and leaves no file behind."""

import json
import os
import signal
import subprocess
import sys
import tempfile
import time

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "audio"))
from check_full_show import track_seconds  # noqa: E402
from check_window_picture import error as picture_error  # noqa: E402
from harness import Checks  # noqa: E402

WIDTH, HEIGHT, RATE = 1920, 1080, 60


def probe(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-show_format", "-of", "json", path],
                         capture_output=True, text=True, check=True).stdout
    return json.loads(out)


def frame_at(path, seconds):
    """The video's picture at a moment, as an RGB array."""
    raw = subprocess.run(["ffmpeg", "-v", "error", "-ss", f"{seconds:.3f}", "-i", path, "-frames:v", "1",
                          "-f", "rawvideo", "-pix_fmt", "rgb24", "-"], capture_output=True, check=True).stdout
    return np.frombuffer(raw, dtype=np.uint8).reshape(HEIGHT, WIDTH, 3).astype(float)


def last_frame(path):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-sseof", "-0.5", "-i", path, "-update", "1", "-f",
                          "rawvideo", "-pix_fmt", "rgb24", "-"], capture_output=True, check=True).stdout
    size = WIDTH * HEIGHT * 3
    return np.frombuffer(raw[-size:], dtype=np.uint8).reshape(HEIGHT, WIDTH, 3).astype(float)


def window_box(frame):
    """The window's bounding box: everything that is not the desktop's colour (its corner's)."""
    differs = np.abs(frame - frame[0, 0]).sum(axis=2) > 30
    rows, columns = np.where(differs.any(axis=1))[0], np.where(differs.any(axis=0))[0]
    return columns[0], rows[0], columns[-1] - columns[0] + 1, rows[-1] - rows[0] + 1


def track_start(path, wav):
    """Where the track's own samples begin in the video's sound, by cross-correlation."""
    from correlate import stereo  # noqa: F401  (the same reading of samples as the sound tests)
    with tempfile.NamedTemporaryFile(suffix=".raw") as raw:
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", path, "-vn", "-ac", "2", "-ar", "44100", "-f",
                        "s16le", raw.name], check=True)
        out = subprocess.run([sys.executable, os.path.join(HERE, "..", "audio", "correlate.py"), wav, raw.name,
                              "5", "0.9"], capture_output=True, text=True).stdout
    print("   ", out.strip())
    # The reference begins 20 ms into the track.
    return float(out.split(" at lag ")[1].split()[0]) - 0.02 if " at lag " in out else None


def record_whole_show(check, program, schedule, media):
    wav = os.path.join(media, "VELORIA.wav")
    with tempfile.TemporaryDirectory() as work:
        video = os.path.join(work, "show.mp4")
        started = time.monotonic()
        run = subprocess.run([program, "--record", video], capture_output=True, text=True,
                             stdin=subprocess.DEVNULL, timeout=900)
        took = time.monotonic() - started
        print(run.stderr.strip())
        check(run.returncode == 0, f"the recording exits 0 (took {took:.0f} s)")
        check("\r" not in run.stderr and "\x1b" not in run.stderr,
              "without a terminal the progress comes as plain lines")
        check(all(f"recording {m}" in run.stderr for m in ("opening", "music and slides", "gallery")),
              "the progress names the movements")
        check(sorted(os.listdir(work)) == ["show.mp4"], "only the video is left in its directory")
        if run.returncode != 0:
            return
        info = probe(video)
        streams = {s["codec_type"]: s for s in info["streams"]}
        v, a = streams.get("video", {}), streams.get("audio", {})
        check(v.get("codec_name") == "h264" and a.get("codec_name") == "aac", "H.264 and AAC streams")
        check((v.get("width"), v.get("height")) == (WIDTH, HEIGHT), f"{v.get('width')} x {v.get('height')}")
        check(v.get("r_frame_rate") == "60/1" and v.get("avg_frame_rate") == "60/1",
              f"60 frames a second ({v.get('r_frame_rate')}, average {v.get('avg_frame_rate')})")
        music = schedule["musicStartMs"] / 1000
        end = max(music + track_seconds(wav), schedule["showMs"] / 1000)
        duration = float(info["format"]["duration"])
        check(abs(duration - end) < 0.1, f"the video lasts {duration:.2f} s, to the track's end ({end:.2f} s)")
        check(abs(int(v.get("nb_frames", 0)) - round(end * RATE)) <= 1,
              f"{v.get('nb_frames')} frames for {end:.2f} s")
        start = track_start(video, wav)
        check(start is not None and abs(start - music) < 0.03,
              f"the track starts at {start} s, as the title has been typed ({music} s)")
        # The typed title is the last thing before the music; the console grows with it.
        before, after = window_box(frame_at(video, music - 0.1)), window_box(frame_at(video, music + 0.1))
        sizes = schedule["sizes"]
        check(before[2] - sizes[0]["columns"] * 10 in range(0, 20),
              f"the window is {before[2]} pixels wide before the music, for {sizes[0]['columns']} columns")
        check(after[2] - sizes[1]["columns"] * 10 in range(0, 20),
              f"and {after[2]} pixels wide after it, for {sizes[1]['columns']} columns")
        gallery = window_box(frame_at(video, schedule["galleryStartMs"] / 1000 + 1))
        check(gallery[2] - sizes[2]["columns"] * 10 in range(0, 20) and
              abs(gallery[0] + gallery[2] / 2 - WIDTH / 2) <= 1 and abs(gallery[1] + gallery[3] / 2 - HEIGHT / 2) <= 1,
              f"the gallery's window {gallery[2]} x {gallery[3]} is centred at {gallery[0]}, {gallery[1]}")
        last = last_frame(video)
        right = picture_error(last, os.path.join(media, "RASKEP.bmp"))
        wrong = picture_error(last, os.path.join(media, "GLASS.bmp"))
        check(right < 12 and right < wrong / 2,
              f"the last frame shows the last picture (difference {right:.1f}, another picture {wrong:.1f})")


def failures(check, program):
    with tempfile.TemporaryDirectory() as work:
        def record(path, **kwargs):
            return subprocess.run([program, "--record", path], capture_output=True, text=True,
                                  stdin=subprocess.DEVNULL, timeout=900, **kwargs)

        run = record(os.path.join(work, "show.avi"))
        check(run.returncode == 1 and ".mp4" in run.stderr and os.listdir(work) == [],
              f"an unknown extension is refused, nothing written: {run.stderr.strip()!r}")
        run = record(os.path.join(work, "missing", "show.mp4"))
        check(run.returncode == 1 and "missing" in run.stderr and os.listdir(work) == [],
              f"a directory that is not there: {run.stderr.strip()!r}")
        kept = os.path.join(work, "kept.mp4")
        with open(kept, "wb") as f:
            f.write(b"an earlier recording")
        if os.geteuid() != 0:  # root writes anywhere
            os.chmod(work, 0o500)
            run = record(kept)
            os.chmod(work, 0o700)
            check(run.returncode == 1 and open(kept, "rb").read() == b"an earlier recording"
                  and os.listdir(work) == ["kept.mp4"],
                  f"a directory that cannot be written, its file kept: {run.stderr.strip()!r}")
        # Interrupted: the partial file goes, the earlier file stays.
        process = subprocess.Popen([program, "--record", kept], stdin=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, text=True)
        process.stderr.readline()  # the first progress line: the video is being written
        time.sleep(1)
        during = sorted(os.listdir(work))
        process.send_signal(signal.SIGINT)
        process.wait(timeout=60)
        check(len(during) == 2, f"while recording, the video is written beside the earlier file: {during}")
        check(process.returncode == -signal.SIGINT and os.listdir(work) == ["kept.mp4"]
              and open(kept, "rb").read() == b"an earlier recording",
              f"Ctrl+C ends the recording (status {process.returncode}) and leaves the earlier file alone")
    if os.geteuid() == 0:
        full = tempfile.mkdtemp()
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=2m", "tmpfs", full]).returncode == 0:
            try:
                run = record(os.path.join(full, "show.mp4"))
                check(run.returncode == 1 and "No space left on device" in run.stderr and os.listdir(full) == [],
                      f"a disk that fills: {run.stderr.strip().splitlines()[-1]!r}, nothing left")
            finally:
                subprocess.run(["umount", full])
        os.rmdir(full)


def arguments(check, program):
    for args, status, said in [(["--help"], 0, "--record FILE"), (["--version"], 0, "veloria "),
                               (["--recrod", "x.mp4"], 2, "unknown argument '--recrod'"),
                               (["--record"], 2, "needs the name")]:
        run = subprocess.run([program, *args], capture_output=True, text=True, stdin=subprocess.DEVNULL)
        check(run.returncode == status and said in run.stdout + run.stderr,
              f"veloria {' '.join(args)}: status {run.returncode}")


def main(program, schedule_program, media):
    schedule = json.loads(subprocess.run([schedule_program], capture_output=True, text=True, check=True).stdout)
    check = Checks()
    arguments(check, program)
    failures(check, program)
    record_whole_show(check, program, schedule, media)
    return check.exit_status()


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
