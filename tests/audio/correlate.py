#!/usr/bin/python3
"""Finds the start of a reference WAV's samples in a raw stereo s16le recording by FFT
cross-correlation of both channels at one lag, and prints the lag and the correlation."""

import sys

import numpy as np


def stereo(raw):
    samples = np.frombuffer(raw[: len(raw) // 4 * 4], dtype="<i2").astype(np.float64)
    return samples.reshape(-1, 2)


def main(reference_wav, recording, seconds, minimum):
    rate = 44100
    with open(reference_wav, "rb") as f:
        reference = stereo(f.read()[78:])
    with open(recording, "rb") as f:
        recorded = stereo(f.read())
    # Skip the first 20 ms, which the recorder may cut, and compare the next few seconds.
    ref = reference[rate // 50 : rate // 50 + int(seconds * rate)]
    if len(recorded) < len(ref) or not np.any(recorded):
        print(f"correlation 0.000 (recording of {len(recorded)} frames holds no sound)")
        return 1
    n = 1 << int(np.ceil(np.log2(len(recorded) + len(ref))))
    total = np.zeros(n)
    for ch in range(2):
        total += np.fft.irfft(np.fft.rfft(recorded[:, ch], n) * np.conj(np.fft.rfft(ref[:, ch], n)), n)
    # Normalise by the energy of each window of the recording, so that a louder passage
    # elsewhere does not outweigh the place where the reference really is.
    lags = len(recorded) - len(ref) + 1
    energy = np.cumsum(np.concatenate([[0.0], (recorded**2).sum(axis=1)]))
    window = np.sqrt(np.maximum(energy[len(ref):len(ref) + lags] - energy[:lags], 1e-9))
    lag = int(np.argmax(total[:lags] / window))
    window = recorded[lag : lag + len(ref)]
    corr = float(np.sum(window * ref) / np.sqrt(np.sum(window**2) * np.sum(ref**2)))
    print(f"correlation {corr:.4f} at lag {lag / rate:.3f} s")
    return 0 if corr >= minimum else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])))
