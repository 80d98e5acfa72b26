#!/usr/bin/env python3
"""Finds a tone of one pitch in a recording of the test sink.

  sound.py onset FILE HZ [FROM]   seconds into FILE (a 16-bit WAV) where the
                                  tone of HZ first sounds, at or after FROM
                                  seconds; nothing when it never does.
  sound.py tail FILE SECONDS      RMS of the last SECONDS of a recording that
                                  is still being written (its header does not
                                  tell its length yet).
  sound.py pitch FILE START SECONDS HZ...
                                  which of the pitches HZ is loudest in that
                                  stretch of FILE, or "none" when none is at
                                  least half as loud as a test tone.
  sound.py pitches FILE START SECONDS HZ...
                                  the same for each 0.1 s step of the stretch.

The tests play a short marker tone of a pitch the program never plays into
the sink at a moment they note (a key, a close): found in the recording, it
places that moment in the recording whatever the recorder's lag. The level
at HZ is measured over 10 ms blocks (Goertzel), so the program's own music
(hundreds of Hz) does not count.
"""
import array
import math
import sys
import wave

BLOCK_SECONDS = 0.01
# Amplitude at HZ that counts as the tone (the marker is a 0.5-amplitude sine).
THRESHOLD = 0.1


def mono_samples(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2:
            raise ValueError("expected 16-bit samples")
        rate, channels = w.getframerate(), w.getnchannels()
        data = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        data.byteswap()
    if channels == 2:
        data = [(a + b) / 65536.0 for a, b in zip(data[0::2], data[1::2])]
    else:
        data = [v / 32768.0 for v in data]
    return rate, data


def level(block, coeff):
    s1 = s2 = 0.0
    for v in block:
        s1, s2 = v + coeff * s1 - s2, s1
    power = s1 * s1 + s2 * s2 - coeff * s1 * s2
    return 2.0 * math.sqrt(max(power, 0.0)) / len(block)


def onset(path, hz, start):
    rate, data = mono_samples(path)
    n = int(rate * BLOCK_SECONDS)
    coeff = 2.0 * math.cos(2.0 * math.pi * hz / rate)
    for i in range(int(start * rate), len(data) - n + 1, n):
        if level(data[i:i + n], coeff) > THRESHOLD:
            return i / rate
    return None


# A pitch counts when it is at least half as loud as a 0.5-amplitude test tone.
PITCH_LEVEL = 0.25 * 0.5


def stretch(path, start, seconds):
    rate, data = mono_samples(path)
    first = min(int(start * rate), len(data))
    return rate, data[first:first + int(seconds * rate)]


def loudest(block, rate, pitches):
    best, best_level = "none", PITCH_LEVEL
    for hz in pitches:
        lv = level(block, 2.0 * math.cos(2.0 * math.pi * hz / rate)) if block else 0.0
        if lv > best_level:
            best, best_level = str(hz), lv
    return best


def pitches_by_step(path, start, seconds, pitches):
    rate, data = stretch(path, start, seconds)
    n = rate // 10
    return [loudest(data[i:i + n], rate, pitches) for i in range(0, len(data) - n + 1, n)]


def data_offset(f):
    """Where the sample data of a 16-bit stereo WAV begins, from its chunks."""
    head = f.read(12)
    if head[:4] != b"RIFF" or head[8:12] != b"WAVE":
        raise ValueError("not a WAV file")
    while True:
        chunk = f.read(8)
        if len(chunk) < 8:
            raise ValueError("no data chunk yet")
        if chunk[:4] == b"data":
            return f.tell()
        f.seek(int.from_bytes(chunk[4:], "little") + (chunk[4] & 1), 1)


def tail_rms(path, seconds):
    frame = 4
    with open(path, "rb") as f:
        start = data_offset(f)
        f.seek(0, 2)
        frames = (f.tell() - start) // frame
        take = min(frames, int(seconds * 44100))
        if take == 0:
            return 0.0
        f.seek(start + (frames - take) * frame)
        data = array.array("h", f.read(take * frame))
    if sys.byteorder == "big":
        data.byteswap()
    return math.sqrt(sum(v * v for v in data) / len(data)) / 32768.0


def main(argv):
    if len(argv) >= 6 and argv[1] in ("pitch", "pitches"):
        path, start, seconds, pitches = argv[2], float(argv[3]), float(argv[4]), [int(v) for v in argv[5:]]
        if argv[1] == "pitch":
            rate, data = stretch(path, start, seconds)
            print(loudest(data, rate, pitches))
        else:
            print(" ".join(pitches_by_step(path, start, seconds, pitches)))
        return 0
    if len(argv) == 4 and argv[1] == "tail":
        try:
            print(f"{tail_rms(argv[2], float(argv[3])):.6f}")
        except (OSError, ValueError):
            pass
        return 0
    if len(argv) not in (4, 5) or argv[1] != "onset":
        print(__doc__, file=sys.stderr)
        return 2
    t = onset(argv[2], float(argv[3]), float(argv[4]) if len(argv) == 5 else 0.0)
    if t is not None:
        print(f"{t:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
