#!/usr/bin/env python3
"""Writes the program's two sounds as 16-bit mono wave files:
ring.wav   - one telephone ring (two bursts of 440+480 Hz), repeated by the program every second
coming.wav - a short rising chime when the caller's record pops up
usage: make_sounds.py OUTDIR
"""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 16000


def tone(freqs, seconds, volume=0.3, fade=0.01):
    n = int(RATE * seconds)
    ramp = int(RATE * fade)
    out = []
    for i in range(n):
        v = sum(math.sin(2 * math.pi * f * i / RATE) for f in freqs) / len(freqs)
        edge = min(1.0, min(i, n - i) / ramp) if ramp else 1.0
        out.append(v * volume * edge)
    return out


def chime(freq, seconds, volume=0.35):
    n = int(RATE * seconds)
    return [volume * math.exp(-4.0 * i / n) * min(1.0, i / 80)
            * (math.sin(2 * math.pi * freq * i / RATE) + 0.3 * math.sin(4 * math.pi * freq * i / RATE)) / 1.3
            for i in range(n)]


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def write(path, samples):
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32767)) for s in samples))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write(out / "ring.wav", tone([440, 480], 0.4) + silence(0.2) + tone([440, 480], 0.4))
    write(out / "coming.wav", chime(659.25, 0.18) + chime(880.0, 0.45))


if __name__ == "__main__":
    main()
