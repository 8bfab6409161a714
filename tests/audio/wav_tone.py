#!/usr/bin/env python3
"""orbotool run --wav on a pitch-33 triangle: 22,050 Hz mono 16-bit, 735
samples per console frame, the same bytes on a second run, and 439.7 Hz
+-0.5 measured by rising zero crossings over the last two seconds.
usage: wav_tone.py ORBOTOOL CART WORKDIR"""
import os, struct, subprocess, sys, wave

tool, cart, work = sys.argv[1:4]
paths = [os.path.join(work, f"tone{i}.wav") for i in (1, 2)]
for p in paths:
    subprocess.run([tool, "run", cart, "--frames", "90", "--wav", p], check=True, stdout=subprocess.DEVNULL)
data = [open(p, "rb").read() for p in paths]
assert data[0] == data[1], "two runs differ"
w = wave.open(paths[0])
assert (w.getframerate(), w.getnchannels(), w.getsampwidth()) == (22050, 1, 2), w.getparams()
n = w.getnframes()
assert n == 90 * 735, n
s = struct.unpack(f"<{n}h", w.readframes(n))
tail = s[-2 * 22050:]
ups = [i for i in range(1, len(tail)) if tail[i - 1] < 0 <= tail[i]]
hz = (len(ups) - 1) * 22050 / (ups[-1] - ups[0])
peak = max(tail)
print(f"{hz:.2f} Hz, peak {peak}")
assert abs(hz - 439.7) <= 0.5, hz
assert peak > 1000, "silent"
print("wav_tone: 1 passed, 0 failed")
